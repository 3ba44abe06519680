#include "ui/NotificationCenter.h"

#include <QTest>

#include <memory>

class TestNotificationCenter : public QObject {
    Q_OBJECT
private slots:
    void anySenderReachesTheHandler();
    void onlyTheNamedNotification();
    void destroyedObserverReceivesNothing();
    void removedObserverReceivesNothing();
    void observerDestroyedByAnEarlierHandler();
};

void TestNotificationCenter::anySenderReachesTheHandler() {
    NotificationCenter center;
    QObject observer;
    QVariantMap received;
    center.addObserver(&observer, Notifications::deleteEffects,
                       [&](const QVariantMap &info) { received = info; });
    center.post(Notifications::deleteEffects,
                {{Notifications::itemTitleKey, QStringLiteral("delete")},
                 {Notifications::effectsKey, QStringLiteral("Sub")}});
    QCOMPARE(received.size(), 2);
    QCOMPARE(received.value(QStringLiteral("itemTitle")).toString(), QStringLiteral("delete"));
    QCOMPARE(received.value(QStringLiteral("effects")).toString(), QStringLiteral("Sub"));
}

void TestNotificationCenter::onlyTheNamedNotification() {
    NotificationCenter center;
    QObject observer;
    QStringList calls;
    center.addObserver(&observer, Notifications::popUpSelectedReturn,
                       [&](const QVariantMap &) { calls << QStringLiteral("pop"); });
    center.addObserver(&observer, Notifications::breakValueReturn,
                       [&](const QVariantMap &) { calls << QStringLiteral("break"); });
    center.post(Notifications::breakValueReturn);
    center.post(QStringLiteral("Unrelated"));
    center.post(Notifications::popUpSelectedReturn);
    QCOMPARE(calls, QStringList({QStringLiteral("break"), QStringLiteral("pop")}));
}

void TestNotificationCenter::destroyedObserverReceivesNothing() {
    NotificationCenter center;
    int calls = 0;
    auto observer = std::make_unique<QObject>();
    center.addObserver(observer.get(), Notifications::deleteEffects,
                       [&](const QVariantMap &) { ++calls; });
    observer.reset();
    center.post(Notifications::deleteEffects);
    QCOMPARE(calls, 0);
    QCOMPARE(center.observerCount(), 0);
}

void TestNotificationCenter::removedObserverReceivesNothing() {
    NotificationCenter center;
    QObject observer;
    QObject other;
    int calls = 0;
    center.addObserver(&observer, Notifications::deleteEffects,
                       [&](const QVariantMap &) { calls += 1; });
    center.addObserver(&other, Notifications::deleteEffects,
                       [&](const QVariantMap &) { calls += 10; });
    center.removeObserver(&observer);
    center.post(Notifications::deleteEffects);
    QCOMPARE(calls, 10);
}

void TestNotificationCenter::observerDestroyedByAnEarlierHandler() {
    NotificationCenter center;
    QObject first;
    auto second = std::make_unique<QObject>();
    int secondCalls = 0;
    center.addObserver(&first, Notifications::deleteEffects,
                       [&](const QVariantMap &) { second.reset(); });
    center.addObserver(second.get(), Notifications::deleteEffects,
                       [&](const QVariantMap &) { ++secondCalls; });
    center.post(Notifications::deleteEffects);
    QCOMPARE(secondCalls, 0);
}

QTEST_GUILESS_MAIN(TestNotificationCenter)
#include "tst_notificationcenter.moc"
