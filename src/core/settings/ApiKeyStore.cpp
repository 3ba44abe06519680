#include "settings/ApiKeyStore.h"

#include "Logging.h"

#include <QObject>
#include <QTimer>

#ifdef PARLINO_HAVE_KEYCHAIN
#include <qt6keychain/keychain.h>
#endif

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
// Runs a keychain job and calls done once with it when it has finished; the
// job deletes itself afterwards.
template <typename Job>
Job *startJob(QObject *context, std::function<void(QKeychain::Job *)> done) {
    auto *job = new Job(keyringService);
    job->setKey(keyringEntry);
    job->setAutoDelete(true);
    // Never fall back to a plain-text settings file.
    job->setInsecureFallback(false);
    QObject::connect(job, &QKeychain::Job::finished, context, std::move(done));
    return job;
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
        auto *job = startJob<QKeychain::ReadPasswordJob>(context, [done](QKeychain::Job *job) {
            const auto *read = static_cast<QKeychain::ReadPasswordJob *>(job);
            if (job->error() != QKeychain::NoError && job->error() != QKeychain::EntryNotFound)
                qCDebug(lcSynthesis) << "keyring not readable:" << job->errorString();
            done(job->error() == QKeychain::NoError ? read->textData().trimmed() : QString());
        });
        job->start();
        return;
    }
#endif
    later(context, [done, key] { done(key); });
}

void ApiKeyStore::store(QObject *context, const QString &key, StoreDone done) {
    setSessionKey(key);
#ifdef PARLINO_HAVE_KEYCHAIN
    auto *job = startJob<QKeychain::WritePasswordJob>(context, [done](QKeychain::Job *job) {
        if (job->error() == QKeychain::NoError)
            done(true, QString());
        else
            done(false, job->errorString());
    });
    job->setTextData(key.trimmed());
    job->start();
#else
    later(context, [done] { done(false, QStringLiteral("this build has no keyring support")); });
#endif
}

void ApiKeyStore::forget(QObject *context, std::function<void()> done) {
    setSessionKey(QString());
#ifdef PARLINO_HAVE_KEYCHAIN
    startJob<QKeychain::DeletePasswordJob>(context, [done](QKeychain::Job *) { done(); })->start();
#else
    later(context, std::move(done));
#endif
}

} // namespace parlino
