#include "OfflineAudio.h"
#include "catalogue/VoiceCatalogue.h"
#include "synthesis/offline/EspeakVoiceList.h"
#include "synthesis/offline/OfflineSpeechEngine.h"

#include <QTest>

using namespace parlino;

// Every language the offline engine offers speaks: each eSpeak voice file,
// and the built-in languages that have no cloud voice, read through the
// voices of the offline catalogue.
class TestOfflineLanguages : public QObject {
    Q_OBJECT
private slots:
    void listIsRead();
    void speaks_data();
    void speaks();
};

void TestOfflineLanguages::listIsRead() {
    const QList<EspeakLanguage> languages = EspeakVoiceList::languages();
    QVERIFY2(languages.size() > 100, qPrintable(QString::number(languages.size())));
    const auto has = [&](const char *file) {
        return std::any_of(languages.cbegin(), languages.cend(),
                           [&](const EspeakLanguage &l) { return l.file == QLatin1String(file); });
    };
    for (const char *file : {"cy", "is", "ro", "es-419", "en-GB-scotland"})
        QVERIFY2(has(file), file);
}

void TestOfflineLanguages::speaks_data() {
    QTest::addColumn<QString>("voice");
    const VoiceCatalogue catalogue = VoiceCatalogue::offline(EspeakVoiceList::languages());
    for (const QString &language : catalogue.languages()) {
        const QList<VoiceInfo> voices = catalogue.voicesOf(language);
        QTest::newRow(qPrintable(language)) << (voices.isEmpty() ? QString() : voices.last().name);
    }
}

void TestOfflineLanguages::speaks() {
    QFETCH(QString, voice);
    QVERIFY(!voice.isEmpty());
    OfflineSpeechEngine engine;
    const auto result = OfflineAudio::pcmOf(
        engine, OfflineAudio::request(QStringLiteral("Hello, 1 2 3."), false,
                                      DataSource::languageCodeOfVoice(voice), voice));
    QCOMPARE(result.error, QString());
    QVERIFY2(result.pcm.seconds() > 0.3, qPrintable(QString::number(result.pcm.seconds())));
    QVERIFY2(OfflineAudio::rmsDb(result.pcm.samples) > -40.0,
             qPrintable(QString::number(OfflineAudio::rmsDb(result.pcm.samples))));
}

QTEST_GUILESS_MAIN(TestOfflineLanguages)
#include "tst_offlinelanguages.moc"
