#include "synthesis/offline/GainMemory.h"

#include "synthesis/offline/OfflineRequest.h"

namespace parlino {

QString GainMemory::keyOf(const OfflineRequest &request) {
    return QStringLiteral("%1/%2/%3")
        .arg(request.voice.identifier())
        .arg(request.espeakPitch)
        .arg(request.espeakRate);
}

std::optional<double> GainMemory::recall(const QString &key) {
    const auto now = std::chrono::steady_clock::now();
    const auto it = m_gains.find(key);
    if (it == m_gains.end() || now - it->used > keepFor)
        return std::nullopt;
    it->used = now;
    return it->gainDb;
}

void GainMemory::remember(const QString &key, double gainDb) {
    const auto now = std::chrono::steady_clock::now();
    for (auto it = m_gains.begin(); it != m_gains.end();)
        it = now - it->used > keepFor ? m_gains.erase(it) : std::next(it);
    m_gains.insert(key, {gainDb, now});
}

} // namespace parlino
