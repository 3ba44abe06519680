#include "settings/Keyring.h"

#include "ModuleLibrary.h"

namespace parlino {

Keyring *Keyring::get(QString *error) {
    static QString failure;
    static Keyring *const keyring = [] {
        const auto entry = reinterpret_cast<ParlinoKeyringEntry>(ModuleLibrary::resolve(
            ModuleLibrary::paths(PARLINO_KEYRING_MODULE_BUILT, PARLINO_KEYRING_MODULE_INSTALLED),
            "parlino_keyring", QStringLiteral("keyring"), &failure));
        return entry ? entry() : nullptr;
    }();
    if (!keyring && error)
        *error = failure;
    return keyring;
}

} // namespace parlino
