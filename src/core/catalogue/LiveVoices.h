#pragma once

#include "catalogue/VoiceCache.h"
#include "catalogue/VoiceCatalogue.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>

namespace parlino {

class CloudModule;
class NetAPIClicnet;

// The cloud catalogue in use: the built-in table until the service's own
// list is known, then that list, from the cache while it is less than a day
// old, otherwise fetched again from ENDPOINT/v1/voices in the background and
// kept in the cache. A failed fetch keeps whatever list was in use.
class LiveVoices : public QObject {
    Q_OBJECT
public:
    enum class Source { BuiltIn, Cache, Service };
    using Clock = std::function<QDateTime()>;

    explicit LiveVoices(const VoiceCache &cache = VoiceCache(), NetAPIClicnet *client = nullptr,
                        QObject *parent = nullptr);

    void setClock(Clock clock) { m_clock = std::move(clock); }

    const VoiceCatalogue &catalogue() const { return m_catalogue; }
    Source source() const { return m_source; }
    QDateTime fetched() const { return m_fetched; }
    bool isRefreshing() const { return m_refreshing; }

    // Takes the cached list of this endpoint at once when there is one; asks
    // the service when there is none, when it is stale, or always with
    // force. Ends in exactly one refreshEnded(), after this call returns.
    // Without a key nothing is read and the list in use stays.
    void refresh(const QUrl &endpoint, const QString &apiKey, bool force = false);

    // Uses the cached list of this endpoint, whatever its age; false when there is none.
    bool useCache(const QUrl &endpoint);

    static QUrl voicesUrl(const QUrl &endpoint, const QString &apiKey);
    static QString describe(Source source, const QDateTime &fetched);

signals:
    // catalogue() has changed.
    void updated();
    // A refresh has ended; error is empty when the list in use is current,
    // otherwise why the service could not be asked (the list in use is kept).
    void refreshEnded(const QString &error);

private:
    void fetch(const CloudModule &cloud, const QUrl &endpoint, const QString &apiKey);
    void received(const QUrl &endpoint, const QList<VoiceInfo> &voices);
    void endLater(const QString &error);
    void use(const CachedVoices &cached, Source source);

    VoiceCache m_cache;
    QPointer<NetAPIClicnet> m_client; // the shared one when none is given
    Clock m_clock = [] { return QDateTime::currentDateTimeUtc(); };
    VoiceCatalogue m_catalogue = VoiceCatalogue::builtIn();
    Source m_source = Source::BuiltIn;
    QDateTime m_fetched;
    bool m_refreshing = false;
};

} // namespace parlino
