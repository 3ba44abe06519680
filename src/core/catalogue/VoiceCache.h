#pragma once

#include "catalogue/VoiceInfo.h"

#include <QDateTime>
#include <QUrl>

#include <optional>

namespace parlino {

// The service's voice list as fetched at one time from one endpoint.
struct CachedVoices {
    QDateTime fetched; // UTC
    QUrl endpoint;
    QList<VoiceInfo> voices;
};

// The voice list kept between runs in voices.json under the cache folder
// (~/.cache/Parlino/Parlino/, shared by the editor and the command line).
// It is written whole or not at all; a damaged file reads as no cache.
class VoiceCache {
public:
    static constexpr qint64 maxAgeSeconds = 24 * 60 * 60;

    explicit VoiceCache(const QString &path = defaultPath());

    static QString defaultPath();
    QString path() const { return m_path; }

    // The cached list, or nothing (none yet, unreadable or damaged: *error says which).
    std::optional<CachedVoices> read(QString *error = nullptr) const;
    bool write(const CachedVoices &cached, QString *error = nullptr) const;

    // Older than a day, or fetched in the future (a clock that went back).
    static bool isStale(const QDateTime &fetched, const QDateTime &now);

private:
    QString m_path;
};

} // namespace parlino
