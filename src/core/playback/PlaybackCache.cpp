#include "playback/PlaybackCache.h"

namespace parlino {

PlaybackCache::PlaybackCache(qint64 budgetBytes)
    : m_budget(budgetBytes) {}

const SpokenAudio *PlaybackCache::find(const QByteArray &key) {
    const auto found = m_index.constFind(key);
    if (found == m_index.cend())
        return nullptr;
    m_order.splice(m_order.begin(), m_order, found.value());
    return &m_order.front().audio;
}

void PlaybackCache::insert(const QByteArray &key, const SpokenAudio &audio) {
    const auto found = m_index.find(key);
    if (found != m_index.end()) {
        m_used -= found.value()->audio.bytes();
        m_order.erase(found.value());
        m_index.erase(found);
    }
    if (audio.bytes() > m_budget)
        return;
    evictTo(m_budget - audio.bytes());
    m_order.push_front({key, audio});
    m_index.insert(key, m_order.begin());
    m_used += audio.bytes();
}

void PlaybackCache::clear() {
    m_order.clear();
    m_index.clear();
    m_used = 0;
}

void PlaybackCache::evictTo(qint64 budget) {
    while (m_used > budget && !m_order.empty()) {
        m_used -= m_order.back().audio.bytes();
        m_index.remove(m_order.back().key);
        m_order.pop_back();
    }
}

} // namespace parlino
