// The keyring module: Keyring over QtKeychain (the Secret Service, KWallet).
#include "settings/Keyring.h"

#include <QObject>
#include <qt6keychain/keychain.h>

namespace parlino {

namespace {

class QtKeychainKeyring : public Keyring {
public:
    void read(QObject *context, const QString &service, const QString &key,
              Finished finished) override {
        start(new QKeychain::ReadPasswordJob(service), context, key,
              [finished](QKeychain::Job *job) {
                  const auto *read = static_cast<QKeychain::ReadPasswordJob *>(job);
                  finished(result(job), job->error() == QKeychain::NoError ? read->textData()
                                                                           : job->errorString());
              });
    }

    void write(QObject *context, const QString &service, const QString &key, const QString &secret,
               Finished finished) override {
        auto *job = new QKeychain::WritePasswordJob(service);
        job->setTextData(secret);
        start(job, context, key,
              [finished](QKeychain::Job *job) { finished(result(job), job->errorString()); });
    }

    void remove(QObject *context, const QString &service, const QString &key,
                Finished finished) override {
        start(new QKeychain::DeletePasswordJob(service), context, key,
              [finished](QKeychain::Job *job) { finished(result(job), job->errorString()); });
    }

private:
    static Result result(const QKeychain::Job *job) {
        switch (job->error()) {
        case QKeychain::NoError:
            return Result::Done;
        case QKeychain::EntryNotFound:
            return Result::NotFound;
        default:
            return Result::Failed;
        }
    }

    // Runs the job, which deletes itself once it has finished.
    static void start(QKeychain::Job *job, QObject *context, const QString &key,
                      std::function<void(QKeychain::Job *)> done) {
        job->setKey(key);
        job->setAutoDelete(true);
        job->setInsecureFallback(false);
        QObject::connect(job, &QKeychain::Job::finished, context, std::move(done));
        job->start();
    }
};

} // namespace

} // namespace parlino

extern "C" Q_DECL_EXPORT parlino::Keyring *parlino_keyring() {
    static parlino::QtKeychainKeyring keyring;
    return &keyring;
}
