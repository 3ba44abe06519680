#include "CatalogueInUse.h"

#include "catalogue/LiveVoices.h"
#include "settings/ApiKeyStore.h"
#include "synthesis/CloudModule.h"
#include "synthesis/offline/EspeakVoiceList.h"

#include <QEventLoop>

namespace parlino {

namespace CatalogueInUse {

QString apiKey() {
    QString key;
    bool done = false;
    QEventLoop loop;
    ApiKeyStore::read(&loop, [&](const QString &found) {
        key = found;
        done = true;
        loop.quit();
    });
    if (!done)
        loop.exec();
    return key;
}

VoiceCatalogue cachedCloud() {
    LiveVoices live;
    if (const CloudModule *cloud = CloudModule::get())
        live.useCache(cloud->configuredEndpoint());
    return live.catalogue();
}

VoiceCatalogue forEngine(SpeechEngineFactory::Kind kind) {
    const VoiceCatalogue cloud = cachedCloud();
    if (kind == SpeechEngineFactory::Kind::Cloud)
        return cloud;
    return VoiceCatalogue::offline(EspeakVoiceList::languages()).merged(cloud);
}

} // namespace CatalogueInUse

} // namespace parlino
