#include "synthesis/offline/EspeakVoiceList.h"

#include "Logging.h"
#include "synthesis/offline/EspeakWorker.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <espeak-ng/speak_lib.h>

#include <future>

namespace parlino {

namespace EspeakVoiceList {

namespace {

// On the eSpeak thread only.
QList<EspeakLanguage> readList() {
    QString error;
    if (!EspeakWorker::instance().ready(&error)) {
        qCInfo(lcSynthesis, "offline: no voice list: %s", qUtf8Printable(error));
        return {};
    }
    QList<EspeakLanguage> list;
    const espeak_VOICE **voices = espeak_ListVoices(nullptr);
    for (; voices && *voices; ++voices) {
        const espeak_VOICE *voice = *voices;
        if (!voice->identifier || !voice->languages || !voice->languages[0])
            continue;
        EspeakLanguage language;
        const QString identifier = QString::fromUtf8(voice->identifier);
        language.file = identifier.section(u'/', -1);
        // languages: a priority byte, then the language name, repeated.
        language.languageCode = QString::fromUtf8(voice->languages + 1);
        language.name = QString::fromUtf8(voice->name).replace(u'_', u' ').trimmed();
        if (identifier.startsWith(QLatin1String("mb/")) ||
            identifier.startsWith(QLatin1String("variants/")))
            continue;
        list.append(language);
    }
    return list;
}

} // namespace

QList<EspeakLanguage> languages() {
    auto promise = std::make_shared<std::promise<QList<EspeakLanguage>>>();
    std::future<QList<EspeakLanguage>> result = promise->get_future();
    EspeakWorker::instance().post([promise] { promise->set_value(readList()); });
    return result.get();
}

void load(QObject *context, std::function<void(const QList<EspeakLanguage> &)> done) {
    QPointer<QObject> guard(context);
    EspeakWorker::instance().post([guard, done = std::move(done)] {
        const QList<EspeakLanguage> list = readList();
        // Posted to the application object, which outlives the context; the
        // guard is read on the main thread only.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [guard, done, list] {
                if (guard)
                    done(list);
            },
            Qt::QueuedConnection);
    });
}

} // namespace EspeakVoiceList

} // namespace parlino
