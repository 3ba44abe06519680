#include "editing/NotificationCenter.h"

#include <algorithm>

namespace parlino {

NotificationCenter &NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

void NotificationCenter::addObserver(QObject *observer, const QString &name, Handler handler) {
    removeDeadObservers();
    m_registrations.push_back({observer, observer, name, std::move(handler)});
}

void NotificationCenter::removeObserver(const QObject *observer) {
    m_registrations.erase(std::remove_if(m_registrations.begin(), m_registrations.end(),
                                         [observer](const Registration &r) {
                                             return r.key == observer || r.observer.isNull();
                                         }),
                          m_registrations.end());
}

void NotificationCenter::post(const QString &name, const QVariantMap &userInfo) {
    // A handler may add or remove observers, or destroy one, while we deliver:
    // deliver to a snapshot and check each observer is still alive and registered.
    const std::vector<Registration> snapshot = m_registrations;
    for (const Registration &r : snapshot) {
        if (r.name != name || r.observer.isNull())
            continue;
        const bool stillRegistered = std::any_of(
            m_registrations.cbegin(), m_registrations.cend(),
            [&r](const Registration &now) { return now.key == r.key && now.name == r.name; });
        if (stillRegistered)
            r.handler(userInfo);
    }
}

int NotificationCenter::observerCount() const {
    return int(std::count_if(m_registrations.cbegin(), m_registrations.cend(),
                             [](const Registration &r) { return !r.observer.isNull(); }));
}

void NotificationCenter::removeDeadObservers() {
    removeObserver(nullptr);
}

} // namespace parlino
