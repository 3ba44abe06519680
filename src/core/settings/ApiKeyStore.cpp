#include "settings/ApiKeyStore.h"

#include "Logging.h"
#include "settings/Keyring.h"

#include <QObject>
#include <QTimer>

namespace parlino {

namespace {

const QString keyringService = QStringLiteral("Parlino");
const QString keyringEntry = QStringLiteral("cloud-api-key");

QString &session() {
    static QString key;
    return key;
}

void later(QObject *context, std::function<void()> call) {
    QTimer::singleShot(0, context, std::move(call));
}

#ifdef PARLINO_HAVE_KEYCHAIN
// The keyring module, or nullptr with the reason logged.
Keyring *keyring() {
    QString problem;
    Keyring *opened = Keyring::get(&problem);
    if (!opened)
        qCDebug(lcSynthesis) << "no keyring:" << problem;
    return opened;
}
#endif

} // namespace

QString ApiKeyStore::environmentKey() {
    return qEnvironmentVariable("PARLINO_API_KEY").trimmed();
}

QString ApiKeyStore::sessionKey() {
    return session();
}

void ApiKeyStore::setSessionKey(const QString &key) {
    session() = key.trimmed();
}

bool ApiKeyStore::keyringSupported() {
#ifdef PARLINO_HAVE_KEYCHAIN
    return true;
#else
    return false;
#endif
}

void ApiKeyStore::read(QObject *context, ReadDone done) {
    QString key = environmentKey();
    if (key.isEmpty())
        key = sessionKey();
#ifdef PARLINO_HAVE_KEYCHAIN
    if (key.isEmpty()) {
        if (Keyring *opened = keyring()) {
            opened->read(context, keyringService, keyringEntry,
                         [done](Keyring::Result result, const QString &text) {
                             if (result == Keyring::Result::Failed)
                                 qCDebug(lcSynthesis) << "keyring not readable:" << text;
                             done(result == Keyring::Result::Done ? text.trimmed() : QString());
                         });
            return;
        }
    }
#endif
    later(context, [done, key] { done(key); });
}

void ApiKeyStore::store(QObject *context, const QString &key, StoreDone done) {
    setSessionKey(key);
#ifdef PARLINO_HAVE_KEYCHAIN
    QString problem;
    if (Keyring *opened = Keyring::get(&problem)) {
        opened->write(context, keyringService, keyringEntry, key.trimmed(),
                      [done](Keyring::Result result, const QString &error) {
                          if (result == Keyring::Result::Done)
                              done(true, QString());
                          else
                              done(false, error);
                      });
        return;
    }
    later(context, [done, problem] { done(false, problem); });
#else
    later(context, [done] { done(false, QStringLiteral("this build has no keyring support")); });
#endif
}

void ApiKeyStore::forget(QObject *context, std::function<void()> done) {
    setSessionKey(QString());
#ifdef PARLINO_HAVE_KEYCHAIN
    if (Keyring *opened = keyring()) {
        opened->remove(context, keyringService, keyringEntry,
                       [done](Keyring::Result, const QString &) { done(); });
        return;
    }
#endif
    later(context, std::move(done));
}

} // namespace parlino
