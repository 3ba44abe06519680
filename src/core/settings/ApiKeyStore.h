#pragma once

#include <QString>

#include <functional>

class QObject;

namespace parlino {

// Where the cloud API key comes from: PARLINO_API_KEY first, then a key
// entered in this session, then the desktop keyring. The key is kept in
// memory or in the keyring only; it is never written to a file or logged.
// Callbacks run later on the caller's thread, and not at all once their
// context object is destroyed.
class ApiKeyStore {
public:
    using ReadDone = std::function<void(const QString &key)>;
    // inKeyring is false when the key could only be kept for this session;
    // error then says why.
    using StoreDone = std::function<void(bool inKeyring, const QString &error)>;

    static QString environmentKey();

    static QString sessionKey();
    static void setSessionKey(const QString &key);

    // True when this build can reach a desktop keyring at all.
    static bool keyringSupported();

    // Calls done once with the key, or an empty string when none is configured.
    static void read(QObject *context, ReadDone done);
    // Keeps the key for the session and tries to store it in the keyring.
    static void store(QObject *context, const QString &key, StoreDone done);
    // Forgets the session key and removes the key from the keyring.
    static void forget(QObject *context, std::function<void()> done);
};

} // namespace parlino
