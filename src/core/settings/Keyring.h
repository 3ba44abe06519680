#pragma once

#include <QString>

#include <functional>

class QObject;

namespace parlino {

// The desktop keyring as ApiKeyStore uses it. The QtKeychain implementation
// lives in a module (parlino_keyring) opened on first use: QtKeychain and its
// D-Bus and crypto libraries cost the editor's start-up, and only the cloud
// voice needs a key.
class Keyring {
public:
    enum class Result { Done, NotFound, Failed };
    // text is the secret read, or why the job failed.
    using Finished = std::function<void(Result result, const QString &text)>;

    virtual ~Keyring() = default;

    // Each calls finished once, later, on context's thread, and not at all
    // once context is destroyed. A failure never falls back to a file.
    virtual void read(QObject *context, const QString &service, const QString &key,
                      Finished finished) = 0;
    virtual void write(QObject *context, const QString &service, const QString &key,
                       const QString &secret, Finished finished) = 0;
    virtual void remove(QObject *context, const QString &service, const QString &key,
                        Finished finished) = 0;

    // The module's keyring, opened on first use; nullptr, with why in *error,
    // when it cannot be.
    static Keyring *get(QString *error);
};

} // namespace parlino

// The module's one entry point.
using ParlinoKeyringEntry = parlino::Keyring *(*)();
