#pragma once

#include <QString>

#include <initializer_list>

namespace parlino {

// A system library opened with dlopen on first use instead of linked, so that
// starting the editor does not pay the dynamic linking of what it may never
// need. Define the library's functions with PARLINO_FORWARD below: each looks
// its real function up on its first call, and answers with a failure value
// when the library or the function is missing.
class SystemLibrary {
public:
    // Tries the names in turn (the versioned name first).
    SystemLibrary(std::initializer_list<const char *> names);

    // The address of a function of the library, or nullptr.
    void *symbol(const char *name) const;
    // Why the library could not be opened, or an empty string.
    QString error() const { return m_error; }

private:
    void *m_handle = nullptr;
    QString m_error;
};

} // namespace parlino

// Defines the C function name(params) to call the library's own, looked up
// once in the SystemLibrary that library() returns; failure when it is missing.
#define PARLINO_FORWARD(library, Ret, name, failure, params, args)                                 \
    extern "C" Ret name params {                                                                   \
        static const auto real = reinterpret_cast<decltype(&name)>(library().symbol(#name));       \
        return real ? real args : failure;                                                         \
    }
// The same for a function that returns nothing.
#define PARLINO_FORWARD_VOID(library, name, params, args)                                          \
    extern "C" void name params {                                                                  \
        static const auto real = reinterpret_cast<decltype(&name)>(library().symbol(#name));       \
        if (real)                                                                                  \
            real args;                                                                             \
    }
