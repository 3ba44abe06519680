#pragma once

#include <QLatin1String>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <vector>

namespace parlino {

// Names and keys of the notifications the effect popover posts to the main view.
namespace Notifications {
inline constexpr QLatin1String popUpSelectedReturn("PopUpSelectedReturn");
inline constexpr QLatin1String breakValueReturn("BreakValueReturn");
inline constexpr QLatin1String deleteEffects("DeleteEffects");
inline constexpr QLatin1String itemTitleKey("itemTitle");
inline constexpr QLatin1String effectsKey("effects");
} // namespace Notifications

// A process-wide post office for named notifications carrying a dictionary.
// Anyone may post; every observer registered for the name is called at once,
// on the posting thread, in registration order. An observer that has been
// destroyed is never called.
class NotificationCenter : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const QVariantMap &userInfo)>;

    static NotificationCenter &defaultCenter();

    // Calls handler for every post of name until observer is removed or destroyed.
    void addObserver(QObject *observer, const QString &name, Handler handler);
    // Forgets every registration of observer.
    void removeObserver(const QObject *observer);
    void post(const QString &name, const QVariantMap &userInfo = {});

    int observerCount() const;

private:
    struct Registration {
        const QObject *key;
        QPointer<QObject> observer;
        QString name;
        Handler handler;
    };
    void removeDeadObservers();

    std::vector<Registration> m_registrations;
};

} // namespace parlino
