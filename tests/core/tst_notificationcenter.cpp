#include "editing/NotificationCenter.h"

#include <QTest>

#include <memory>

using namespace parlino;

class TestNotificationCenter : public QObject {
    Q_OBJECT
private slots:
    void anySenderReachesTheNamedHandler();
    void goneObserversReceiveNothing();
};

void TestNotificationCenter::anySenderReachesTheNamedHandler() {
    NotificationCenter center;
    QObject observer;
    QStringList calls;
    center.addObserver(&observer, Notifications::deleteEffects, [&](const QVariantMap &info) {
        calls << info.value(QStringLiteral("effects")).toString();
    });
    center.addObserver(&observer, Notifications::breakValueReturn,
                       [&](const QVariantMap &) { calls << QStringLiteral("break"); });
    center.post(Notifications::breakValueReturn);
    center.post(QStringLiteral("Unrelated"));
    center.post(Notifications::deleteEffects, {{Notifications::effectsKey, QStringLiteral("Sub")}});
    QCOMPARE(calls, QStringList({QStringLiteral("break"), QStringLiteral("Sub")}));
}

void TestNotificationCenter::goneObserversReceiveNothing() {
    NotificationCenter center;
    QObject removed;
    QObject first;
    auto destroyed = std::make_unique<QObject>();
    auto destroyedByFirst = std::make_unique<QObject>();
    QStringList calls;
    const auto record = [&](const QString &who) {
        return [&calls, who](const QVariantMap &) { calls << who; };
    };
    center.addObserver(&removed, Notifications::deleteEffects, record("removed"));
    center.addObserver(destroyed.get(), Notifications::deleteEffects, record("destroyed"));
    // An earlier handler may destroy a later observer while the post runs.
    center.addObserver(&first, Notifications::deleteEffects, [&](const QVariantMap &) {
        calls << QStringLiteral("first");
        destroyedByFirst.reset();
    });
    center.addObserver(destroyedByFirst.get(), Notifications::deleteEffects, record("later"));
    center.removeObserver(&removed);
    destroyed.reset();
    center.post(Notifications::deleteEffects);
    QCOMPARE(calls, QStringList{QStringLiteral("first")});
    QCOMPARE(center.observerCount(), 1);
}

QTEST_GUILESS_MAIN(TestNotificationCenter)
#include "tst_notificationcenter.moc"
