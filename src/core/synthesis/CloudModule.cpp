#include "synthesis/CloudModule.h"

#include "ModuleLibrary.h"

namespace parlino {

namespace {

CloudModule *&installed() {
    static CloudModule *module = nullptr;
    return module;
}

} // namespace

CloudModule *CloudModule::get(QString *error) {
    if (CloudModule *module = installed())
        return module;
    static QString failure;
    static const auto entry = reinterpret_cast<ParlinoCloudModuleEntry>(ModuleLibrary::resolve(
        ModuleLibrary::paths(PARLINO_CLOUD_MODULE_BUILT, PARLINO_CLOUD_MODULE_INSTALLED),
        "parlino_cloud_module", QStringLiteral("cloud"), &failure));
    if (entry)
        install(entry());
    else if (error)
        *error = failure;
    return installed();
}

CloudModule *CloudModule::ifLoaded() {
    return installed();
}

void CloudModule::install(CloudModule *module) {
    installed() = module;
}

} // namespace parlino
