#include "SystemLibrary.h"

#include <dlfcn.h>

namespace parlino {

SystemLibrary::SystemLibrary(std::initializer_list<const char *> names) {
    for (const char *name : names) {
        m_handle = dlopen(name, RTLD_NOW | RTLD_LOCAL);
        if (m_handle)
            return;
    }
    m_error = QString::fromLocal8Bit(dlerror());
}

void *SystemLibrary::symbol(const char *name) const {
    return m_handle ? dlsym(m_handle, name) : nullptr;
}

} // namespace parlino
