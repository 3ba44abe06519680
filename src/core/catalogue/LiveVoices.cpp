#include "catalogue/LiveVoices.h"

#include "Logging.h"
#include "synthesis/CloudModule.h"

#include <QLocale>
#include <QTimer>
#include <QUrlQuery>

namespace parlino {

LiveVoices::LiveVoices(const VoiceCache &cache, NetAPIClicnet *client, QObject *parent)
    : QObject(parent)
    , m_cache(cache)
    , m_client(client) {}

QUrl LiveVoices::voicesUrl(const QUrl &endpoint, const QString &apiKey) {
    QUrl url = endpoint;
    QString path = url.path();
    while (path.endsWith(u'/'))
        path.chop(1);
    url.setPath(path + QStringLiteral("/v1/voices"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("key"), apiKey);
    url.setQuery(query);
    return url;
}

QString LiveVoices::describe(Source source, const QDateTime &fetched) {
    switch (source) {
    case Source::Service:
        return QStringLiteral("the service's voice list");
    case Source::Cache:
        return QStringLiteral("the voice list cached on %1")
            .arg(fetched.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    case Source::BuiltIn:
        break;
    }
    return QStringLiteral("the built-in voice list");
}

bool LiveVoices::useCache(const QUrl &endpoint) {
    const std::optional<CachedVoices> cached = m_cache.read();
    if (!cached || cached->endpoint != endpoint)
        return false;
    use(*cached, Source::Cache);
    return true;
}

void LiveVoices::refresh(const QUrl &endpoint, const QString &apiKey, bool force) {
    // Without a key the built-in list stays, as for a user without an account.
    if (apiKey.isEmpty()) {
        endLater(QStringLiteral("No API key for the cloud voice is configured."));
        return;
    }
    const std::optional<CachedVoices> cached = m_cache.read();
    const bool haveCache = cached && cached->endpoint == endpoint;
    if (haveCache && m_source != Source::Service)
        use(*cached, Source::Cache);
    if (haveCache && !force && !VoiceCache::isStale(cached->fetched, m_clock())) {
        endLater(QString());
        return;
    }
    QString problem;
    const CloudModule *cloud = CloudModule::get(&problem);
    if (cloud)
        problem = cloud->endpointProblem(endpoint);
    if (!problem.isEmpty()) {
        endLater(problem);
        return;
    }
    fetch(*cloud, endpoint, apiKey);
}

void LiveVoices::fetch(const CloudModule &cloud, const QUrl &endpoint, const QString &apiKey) {
    // The shared client is made on first use: a network manager costs
    // start-up time that an editor without a key never needs.
    if (!m_client)
        m_client = cloud.sharedJsonClient();
    if (!m_client) {
        endLater(QStringLiteral("The network client is gone."));
        return;
    }
    m_refreshing = true;
    // The client logs the address with the key redacted.
    cloud.requestJsonDataWithPath(
        *m_client, voicesUrl(endpoint, apiKey).toString(QUrl::FullyEncoded), {}, NetMethodGet,
        [self = QPointer<LiveVoices>(this), endpoint](const QJsonValue &data,
                                                      const NetError &error) {
            if (!self)
                return;
            self->m_refreshing = false;
            QList<VoiceInfo> voices;
            QString problem = error.message;
            if (!error.isError() && !parseVoiceList(data, &voices, &problem))
                problem = QStringLiteral("The service sent a voice list Parlino cannot read: %1")
                              .arg(problem);
            else if (!error.isError() && voices.isEmpty())
                problem = QStringLiteral("The service listed no voices.");
            if (!problem.isEmpty()) {
                qCInfo(lcNet, "voice list not refreshed: %s", qUtf8Printable(problem));
                emit self->refreshEnded(problem);
                return;
            }
            self->received(endpoint, voices);
        });
}

void LiveVoices::received(const QUrl &endpoint, const QList<VoiceInfo> &voices) {
    CachedVoices cached{m_clock().toUTC(), endpoint, voices};
    QString error;
    if (!m_cache.write(cached, &error))
        qCInfo(lcNet, "voice list not cached in %s: %s", qUtf8Printable(m_cache.path()),
               qUtf8Printable(error));
    use(cached, Source::Service);
    emit refreshEnded(QString());
}

void LiveVoices::use(const CachedVoices &cached, Source source) {
    m_catalogue = VoiceCatalogue::fromCloudVoices(cached.voices);
    m_source = source;
    m_fetched = cached.fetched;
    qCDebug(lcNet, "voices: %lld from %s", qlonglong(cached.voices.size()),
            qUtf8Printable(describe(source, cached.fetched)));
    emit updated();
}

void LiveVoices::endLater(const QString &error) {
    QTimer::singleShot(0, this, [this, error] { emit refreshEnded(error); });
}

} // namespace parlino
