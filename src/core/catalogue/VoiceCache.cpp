#include "catalogue/VoiceCache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace parlino {

VoiceCache::VoiceCache(const QString &path)
    : m_path(path) {}

QString VoiceCache::defaultPath() {
    // The editor's CacheLocation (organisation and application "Parlino"),
    // spelt out so the command line, which sets no names, finds the same file.
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/Parlino/Parlino/voices.json");
}

std::optional<CachedVoices> VoiceCache::read(QString *error) const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("no cached voice list (%1)").arg(file.errorString());
        return std::nullopt;
    }
    const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    CachedVoices cached;
    cached.fetched =
        QDateTime::fromString(object.value(QLatin1String("fetched")).toString(), Qt::ISODateWithMs);
    cached.endpoint = QUrl(object.value(QLatin1String("endpoint")).toString());
    QString parseError;
    if (!cached.fetched.isValid() || !parseVoiceList(object, &cached.voices, &parseError)) {
        if (error)
            *error = QStringLiteral("the cached voice list %1 is damaged").arg(m_path);
        return std::nullopt;
    }
    return cached;
}

bool VoiceCache::write(const CachedVoices &cached, QString *error) const {
    QJsonArray voices;
    for (const VoiceInfo &voice : cached.voices)
        voices.append(voice.toServiceJson());
    const QByteArray bytes =
        QJsonDocument(QJsonObject{{QLatin1String("fetched"),
                                   cached.fetched.toUTC().toString(Qt::ISODateWithMs)},
                                  {QLatin1String("endpoint"), cached.endpoint.toString()},
                                  {QLatin1String("voices"), voices}})
            .toJson(QJsonDocument::Compact);
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // A short write is a failure even when commit() would succeed.
    if (file.write(bytes) != bytes.size()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool VoiceCache::isStale(const QDateTime &fetched, const QDateTime &now) {
    const qint64 age = fetched.secsTo(now);
    return !fetched.isValid() || age < 0 || age > maxAgeSeconds;
}

} // namespace parlino
