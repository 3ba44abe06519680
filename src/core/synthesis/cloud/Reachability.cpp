#include "synthesis/cloud/Reachability.h"

#include "Logging.h"

#include <QHostAddress>
#include <QNetworkInformation>
#include <QUrl>

namespace parlino {

bool Reachability::isLoopbackHost(const QString &host) {
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

Reachability::Status Reachability::statusFor(const QUrl &url) {
    if (isLoopbackHost(url.host()))
        return Up;
    // The default backend needs NetworkManager; asking by feature also finds
    // the glib one. Without any backend the status stays unknown.
    static const bool loaded = [] {
        const bool ok =
            QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
        qCDebug(lcNet) << "reachability backend" << (ok ? "loaded" : "unavailable");
        return ok;
    }();
    const QNetworkInformation *info = loaded ? QNetworkInformation::instance() : nullptr;
    if (!info)
        return Unknown;
    switch (info->reachability()) {
    case QNetworkInformation::Reachability::Unknown:
        return Unknown;
    case QNetworkInformation::Reachability::Disconnected:
        return Down;
    case QNetworkInformation::Reachability::Local:
    case QNetworkInformation::Reachability::Site:
    case QNetworkInformation::Reachability::Online:
        break;
    }
    return Up;
}

} // namespace parlino
