#include "GoldenData.h"
#include "OfflineAudio.h"
#include "catalogue/SampleSentence.h"
#include "catalogue/VoiceCatalogue.h"
#include "catalogue/VoiceFamily.h"
#include "catalogue/VoicePicker.h"
#include "catalogue/VoiceSearch.h"
#include "synthesis/SynthesisRequest.h"
#include "synthesis/offline/EspeakVoiceList.h"
#include "synthesis/offline/OfflineSpeechEngine.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using namespace parlino;

namespace {

VoiceInfo cloud(const QString &name, const QString &gender, QStringList codes = {}) {
    VoiceInfo voice;
    voice.name = name;
    voice.gender = gender;
    voice.languageCodes = codes.isEmpty() ? QStringList{name.section(u'-', 0, 1)} : codes;
    return voice;
}

// A small service list: two families in German, Romanian and Welsh voices the
// built-in table lacks, a language it does not know, a voice of two languages.
VoiceCatalogue sample() {
    return VoiceCatalogue::fromCloudVoices(
        {cloud("de-DE-Neural2-A", "FEMALE"), cloud("de-DE-Neural2-B", "MALE"),
         cloud("de-DE-Standard-A", "FEMALE"), cloud("ro-RO-Chirp3-HD-Kore", "FEMALE"),
         cloud("cy-GB-Wavenet-A", "FEMALE"), cloud("ca-ES-Standard-A", "FEMALE"),
         cloud("en-US-Polyglot-1", "MALE", {"en-US", "es-ES"})});
}

// A table cell of "|"-separated items.
QStringList listOf(const QString &cell) {
    return cell.split(u'|', Qt::SkipEmptyParts);
}

QStringList names(const QList<VoiceInfo> &voices) {
    QStringList result;
    for (const VoiceInfo &voice : voices)
        result.append(voice.name);
    return result;
}

} // namespace

class TestVoiceCatalogue : public QObject {
    Q_OBJECT
private slots:
    void family_data();
    void family();
    void parsing_data();
    void parsing();
    void cloudLanguages();
    void offlineLanguages();
    void search_data();
    void search();
    void plainTextFamilyRequest();
    void pickerKeepsAndRestoresChoices();
    void sampleSentences();
    void offlineLanguageSpeaks_data();
    void offlineLanguageSpeaks();
};

void TestVoiceCatalogue::family_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("code");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/catalogue/family.tsv"))
        QTest::newRow(qPrintable(row[0])) << row[1] << row[2] << row[3];
}

void TestVoiceCatalogue::family() {
    QFETCH(QString, name);
    QFETCH(QString, family);
    QFETCH(QString, code);
    QCOMPARE(VoiceInfo::familyOfName(name), family);
    QCOMPARE(DataSource::languageCodeOfVoice(name), code);
}

void TestVoiceCatalogue::parsing_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("voices");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/catalogue/voice-lists.tsv"))
        QTest::newRow(qPrintable(row[0])) << row[1].toUtf8() << (row[2] == "1") << listOf(row[3]);
}

void TestVoiceCatalogue::parsing() {
    QFETCH(QByteArray, reply);
    QFETCH(bool, ok);
    QFETCH(QStringList, voices);
    // Wrapped in a list so that a reply of any JSON kind reads as one value.
    const QJsonValue value = QJsonDocument::fromJson("[" + reply + "]").array().first();
    QList<VoiceInfo> parsed;
    QString error;
    QCOMPARE(parseVoiceList(value, &parsed, &error), ok);
    QCOMPARE(error.isEmpty(), ok);
    QCOMPARE(names(parsed), voices);
    if (!parsed.isEmpty()) {
        QCOMPARE(parsed.first().displayName(), QStringLiteral("en-US-Neural2-A (male)"));
        QCOMPARE(VoiceInfo::fromServiceJson(parsed.first().toServiceJson()), parsed.first());
    }
}

void TestVoiceCatalogue::cloudLanguages() {
    const VoiceCatalogue catalogue = sample();
    QCOMPARE(names(catalogue.voicesOf("German (Germany)")),
             (QStringList{"de-DE-Neural2-A", "de-DE-Neural2-B", "de-DE-Standard-A"}));
    QCOMPARE(names(catalogue.voicesOf("Romanian")), QStringList{"ro-RO-Chirp3-HD-Kore"});
    QCOMPARE(names(catalogue.voicesOf("Welsh")), QStringList{"cy-GB-Wavenet-A"});
    QCOMPARE(names(catalogue.voicesOf("Catalan (Spain)")), QStringList{"ca-ES-Standard-A"});
    QCOMPARE(names(catalogue.voicesOf("Spanish (Spain)")), QStringList{"en-US-Polyglot-1"});
    // Built-in languages the service has no voice for stay listed, empty.
    QVERIFY(catalogue.hasLanguage("Icelandic"));
    QVERIFY(catalogue.voicesOf("Icelandic").isEmpty());
    QCOMPARE(catalogue.languageOf("en-US-Polyglot-1"), QStringLiteral("English (US)"));
    QCOMPARE(catalogue.allVoices().size(), 7);
    QCOMPARE(VoiceCatalogue::builtIn().names(), DataSource::returnDataSource());
}

void TestVoiceCatalogue::offlineLanguages() {
    const VoiceCatalogue catalogue =
        VoiceCatalogue::offline({{"cy", "cy", "Welsh"},
                                 {"ca", "ca", "Catalan"},
                                 {"en-GB-scotland", "en-gb-scotland", "English (Scotland)"},
                                 {"en-GB-x-rp", "en-gb-x-rp", "English (Received Pronunciation)"},
                                 {"fr-BE", "fr-be", "French (Belgium)"},
                                 {"xx", "xx", "Unknown tongue"},
                                 {"en-US", "en-us", "English (America)"}});
    for (const char *empty :
         {"Welsh", "English (Welsh)", "Icelandic", "Romanian", "Spanish (Mexican)", "Spanish (US)"})
        QVERIFY2(!catalogue.voicesOf(empty).isEmpty(), empty);
    QCOMPARE(catalogue.voicesOf("Spanish (US)").first().name, QStringLiteral("es-419-eSpeak-A"));
    QCOMPARE(catalogue.voicesOf("Catalan").size(), 5);
    QCOMPARE(catalogue.voicesOf("French (Belgium)").first().gender, QStringLiteral("MALE"));
    for (const char *language :
         {"English (Scotland)", "English (Received Pronunciation)", "Unknown tongue"})
        QVERIFY2(catalogue.hasLanguage(language), language);
    // Files the built-in languages already read are not listed twice.
    QCOMPARE(catalogue.languages().size(), 37 + 5);
    QCOMPARE(catalogue.defaultVoice(), QStringLiteral("ar-XA-Standard-A"));
}

void TestVoiceCatalogue::search_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("languages");
    QTest::addColumn<QStringList>("germanVoices");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/catalogue/search.tsv"))
        QTest::newRow(qPrintable(row[0])) << row[1] << listOf(row[2]) << listOf(row[3]);
}

void TestVoiceCatalogue::search() {
    QFETCH(QString, query);
    QFETCH(QStringList, languages);
    QFETCH(QStringList, germanVoices);
    const VoiceCatalogue catalogue = sample();
    QCOMPARE(VoiceSearch::languagesMatching(catalogue, query), languages);
    QCOMPARE(names(VoiceSearch::voicesMatching(catalogue, "German (Germany)", query)),
             germanVoices);
    QCOMPARE(VoiceSearch::languagesMatching(catalogue, QString()), catalogue.languages());
}

// A Chirp 3: HD voice takes neither SSML nor a pitch: the request carries the
// plain text without pause glyphs and no pitch; other families keep both.
void TestVoiceCatalogue::plainTextFamilyRequest() {
    const QString text = QStringLiteral("Wait\u23F8now");
    const QString ssml = QStringLiteral("<speak>Wait<break time=\"1s\"/>now</speak>");
    const QJsonObject chirp =
        SynthesisRequest::body(text, ssml, QStringLiteral("en-US-Chirp3-HD-Kore"), 4, 100);
    QCOMPARE(chirp["input"].toObject(), (QJsonObject{{"text", "Waitnow"}}));
    QVERIFY(!chirp["audioConfig"].toObject().contains("pitch"));
    const QJsonObject neural =
        SynthesisRequest::body(text, ssml, QStringLiteral("en-US-Neural2-A"), 4, 100);
    QCOMPARE(neural["input"].toObject(), (QJsonObject{{"ssml", ssml}}));
    QCOMPARE(neural["audioConfig"].toObject()["pitch"].toInt(), 4);
    QVERIFY(!VoiceFamily::ignoredNote("Chirp3-HD").isEmpty());
    QVERIFY(VoiceFamily::ignoredNote("Neural2").isEmpty());
}

// The picker's rules: start-up choice, a new catalogue keeps what it can,
// a search moves to a matching language or changes nothing, a remembered
// voice comes back with its language.
void TestVoiceCatalogue::pickerKeepsAndRestoresChoices() {
    VoicePicker picker;
    QCOMPARE(picker.voice(), QStringLiteral("ar-XA-Standard-A"));
    picker.pickLanguage("German (Germany)");
    picker.pickVoice("de-DE-Standard-B");
    picker.setCatalogue(sample());
    QCOMPARE(picker.language(), QStringLiteral("German (Germany)"));
    QCOMPARE(picker.voice(), QStringLiteral("de-DE-Neural2-A")); // Standard-B is gone
    QCOMPARE(picker.families(), (QStringList{"All", "Neural2", "Standard"}));
    picker.pickFamily("Standard");
    QCOMPARE(names(picker.voices()), QStringList{"de-DE-Standard-A"});
    picker.pickLanguage("German (Germany)");
    QCOMPARE(picker.family(), QStringLiteral("All"));

    QVERIFY(!picker.search("klingon"));
    QCOMPARE(picker.language(), QStringLiteral("German (Germany)"));
    QVERIFY(picker.search("chirp3"));
    QCOMPARE(picker.voice(), QStringLiteral("ro-RO-Chirp3-HD-Kore"));
    QCOMPARE(picker.languages(), QStringList{"Romanian"});
    picker.search(QString());

    picker.setFavourite("de-DE-Standard-A", true);
    QVERIFY(picker.restore("German (Germany)", "de-DE-Neural2-B"));
    QCOMPARE(picker.voice(), QStringLiteral("de-DE-Neural2-B"));
    QCOMPARE(names(picker.voices()),
             (QStringList{"de-DE-Standard-A", "de-DE-Neural2-A", "de-DE-Neural2-B"}));
    QVERIFY(picker.restore("Icelandic", "nothing"));
    QCOMPARE(picker.voice(), QString());
    QVERIFY(!picker.restore("Atlantean", "nothing"));
    QCOMPARE(picker.language(), QStringLiteral("Icelandic"));
}

// Every language the built-in and offline catalogues offer has a sentence of
// its own; a language without one is read its own name.
void TestVoiceCatalogue::sampleSentences() {
    const QList<VoiceInfo> voices =
        VoiceCatalogue::builtIn().allVoices() + VoiceCatalogue::offline({}).allVoices();
    for (const VoiceInfo &voice : voices)
        QVERIFY2(SampleSentence::hasSentence(voice.languageCodes.value(0)), qPrintable(voice.name));
    QCOMPARE(SampleSentence::forLanguage("zh-CN"), SampleSentence::forLanguage("cmn-CN"));
    QCOMPARE(SampleSentence::forLanguage("ka-GE"), QStringLiteral("ქართული"));
    QCOMPARE(SampleSentence::forLanguage("qq"), QStringLiteral("qq"));
}

// Every language the offline engine offers speaks: each eSpeak voice file,
// and the built-in languages that have no cloud voice.
void TestVoiceCatalogue::offlineLanguageSpeaks_data() {
    QTest::addColumn<QString>("voice");
    const VoiceCatalogue catalogue = VoiceCatalogue::offline(EspeakVoiceList::languages());
    QVERIFY(catalogue.hasLanguage("English (Scotland)"));
    for (const QString &language : catalogue.languages()) {
        const QList<VoiceInfo> voices = catalogue.voicesOf(language);
        QTest::newRow(qPrintable(language)) << (voices.isEmpty() ? QString() : voices.last().name);
    }
}

void TestVoiceCatalogue::offlineLanguageSpeaks() {
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

QTEST_GUILESS_MAIN(TestVoiceCatalogue)
#include "tst_voicecatalogue.moc"
