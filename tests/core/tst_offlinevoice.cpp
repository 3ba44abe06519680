#include "catalogue/DataSource.h"
#include "synthesis/offline/OfflineRequest.h"
#include "synthesis/offline/OfflineVoice.h"

#include <QJsonDocument>
#include <QSet>
#include <QTest>

using namespace parlino;

namespace {

void voiceRow(const char *name, const char *code, const char *voice, const char *identifier,
              bool substitute = false) {
    QTest::newRow(name) << code << voice << identifier << substitute;
}

// A null error means the request is accepted.
void requestRow(const char *name, const QByteArray &json, const QString &error,
                const char *voice = "", int espeakPitch = 0, int espeakRate = 0) {
    QTest::newRow(name) << json << error << voice << espeakPitch << espeakRate;
}

} // namespace

class TestOfflineVoice : public QObject {
    Q_OBJECT
private slots:
    void voice_data();
    void voice();
    void everyCatalogueVoiceHasAnOfflineVoice();
    void pitch_data();
    void pitch();
    void rate_data();
    void rate();
    void request_data();
    void request();
};

void TestOfflineVoice::voice_data() {
    QTest::addColumn<QString>("languageCode");
    QTest::addColumn<QString>("voiceName");
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<bool>("substitute");
    voiceRow("en-US B", "en-US", "en-US-Standard-B", "en-us+f3");
    voiceRow("en-GB A", "en-GB", "en-GB-Standard-A", "en+m3");
    voiceRow("en-AU reads British", "en-AU", "en-AU-Standard-C", "en+m8");
    voiceRow("nb-NO D", "nb-NO", "nb-NO-Standard-D", "nb+Annie");
    voiceRow("fr-CA reads French", "fr-CA", "fr-CA-Standard-A", "fr+m3");
    voiceRow("Filipino falls back", "fil-PH", "fil-PH-Standard-A", "id+m3", true);
    voiceRow("Spanish (Mexican) without voice", "es-MX", "", "es-419");
    voiceRow("lower-case code", "de-de", "de-DE-Standard-B", "de+f3");
    voiceRow("unknown region of a known language", "es-AR", "", "es");
    voiceRow("Norwegian as no", "no-NO", "", "nb");
    voiceRow("unknown language", "xx-YY", "xx-YY-Standard-A", "en+m3", true);
    voiceRow("no language", "", "", "en", true);
    voiceRow("letter beyond E", "it-IT", "it-IT-Standard-F", "it");
    voiceRow("name without letter", "it-IT", "Standard", "it");
}

void TestOfflineVoice::voice() {
    QFETCH(QString, languageCode);
    QFETCH(QString, voiceName);
    QFETCH(QString, identifier);
    QFETCH(bool, substitute);
    const OfflineVoice voice = OfflineVoice::forVoice(languageCode, voiceName);
    QCOMPARE(voice.identifier(), identifier);
    QCOMPARE(voice.substitute, substitute);
    QVERIFY(!substitute || !voice.note.isEmpty());
}

// Every voice maps; only Filipino needs another language; the voices of one
// language sound different from each other; languages without voices have
// their own eSpeak voice.
void TestOfflineVoice::everyCatalogueVoiceHasAnOfflineVoice() {
    const Catalogue catalogue = DataSource::returnDataSource();
    for (auto it = catalogue.cbegin(); it != catalogue.cend(); ++it) {
        QSet<QString> identifiers;
        for (const QString &name : it.value()) {
            const OfflineVoice voice =
                OfflineVoice::forVoice(DataSource::languageCodeOfVoice(name), name);
            QVERIFY2(!voice.espeakName.isEmpty() && !voice.variant.isEmpty(), qPrintable(name));
            QCOMPARE(voice.substitute, name.startsWith(QLatin1String("fil-")));
            identifiers.insert(voice.identifier());
        }
        QCOMPARE(identifiers.size(), it.value().size());
    }
    for (const char *code : {"cy-GB", "is-IS", "ro-RO", "es-MX", "es-US"})
        QVERIFY2(!OfflineVoice::forVoice(code, QString()).substitute, code);
    const OfflineVoice filipino = OfflineVoice::forVoice("fil-PH", "fil-PH-Standard-A");
    QVERIFY(filipino.note.contains("Filipino") && filipino.note.contains("Indonesian"));
}

void TestOfflineVoice::pitch_data() {
    QTest::addColumn<double>("semitones");
    QTest::addColumn<int>("espeakPitch");
    QTest::addColumn<bool>("clamped");
    QTest::newRow("normal") << 0.0 << 50 << false;
    QTest::newRow("table point +1.6") << 1.6 << 60 << false;
    QTest::newRow("between points +3") << 3.0 << 68 << false;
    QTest::newRow("between points -1") << -1.0 << 44 << false;
    QTest::newRow("lowest reachable") << -6.3 << 0 << false;
    QTest::newRow("highest reachable") << 8.8 << 99 << false;
    QTest::newRow("reported lowest") << OfflineProsody::minPitch() << 0 << false;
    QTest::newRow("reported highest") << OfflineProsody::maxPitch() << 99 << false;
    QTest::newRow("below reach") << -7.0 << 0 << true;
    QTest::newRow("above reach") << 9.0 << 99 << true;
    QTest::newRow("not a number") << qQNaN() << 0 << true;
}

void TestOfflineVoice::pitch() {
    QFETCH(double, semitones);
    QFETCH(int, espeakPitch);
    QFETCH(bool, clamped);
    bool wasClamped = !clamped;
    QCOMPARE(OfflineProsody::espeakPitch(semitones, &wasClamped), espeakPitch);
    QCOMPARE(wasClamped, clamped);
}

void TestOfflineVoice::rate_data() {
    QTest::addColumn<double>("speakingRate");
    QTest::addColumn<int>("wordsPerMinute");
    QTest::addColumn<bool>("clamped");
    QTest::newRow("normal") << 1.0 << 175 << false;
    QTest::newRow("double") << 2.0 << 350 << false;
    QTest::newRow("highest") << 4.0 << 700 << false;
    QTest::newRow("lowest reachable") << 0.46 << 81 << false;
    QTest::newRow("reported lowest") << OfflineProsody::minSpeakingRate() << 80 << false;
    QTest::newRow("reported highest") << OfflineProsody::maxSpeakingRate() << 700 << false;
    QTest::newRow("below the floor") << 0.25 << 80 << true;
    QTest::newRow("above the highest") << 5.0 << 700 << true;
    QTest::newRow("zero") << 0.0 << 175 << true;
}

void TestOfflineVoice::rate() {
    QFETCH(double, speakingRate);
    QFETCH(int, wordsPerMinute);
    QFETCH(bool, clamped);
    bool wasClamped = !clamped;
    QCOMPARE(OfflineProsody::espeakRate(speakingRate, &wasClamped), wordsPerMinute);
    QCOMPARE(wasClamped, clamped);
}

void TestOfflineVoice::request_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("error"); // its start; null: accepted
    QTest::addColumn<QString>("voice");
    QTest::addColumn<int>("espeakPitch");
    QTest::addColumn<int>("espeakRate");
    const QByteArray voice = R"("voice":{"languageCode":"en-GB","name":"en-GB-Standard-B"})";
    const QString nothing = QStringLiteral("The request has no text or SSML to speak.");
    requestRow("text request",
               R"({"input":{"text":"Hi"},)" + voice +
                   R"(,"audioConfig":{"audioEncoding":"MP3","pitch":-3,"speakingRate":"1.25"}})",
               QString(), "en+f3", 30, 219);
    requestRow("SSML request, numbers as numbers",
               R"({"input":{"ssml":"<speak>Hi</speak>"},)" + voice +
                   R"(,"audioConfig":{"pitch":2,"speakingRate":0.5}})",
               QString(), "en+f3", 62, 88);
    requestRow("no audio config", R"({"input":{"text":"Hi"},)" + voice + "}", QString(), "en+f3",
               50, 175);
    requestRow("no input", "{" + voice + "}", nothing);
    requestRow("input not a string", R"({"input":{"text":5}})", nothing);
    requestRow("other encoding",
               R"({"input":{"text":"Hi"},"audioConfig":{"audioEncoding":"OGG_OPUS"}})",
               "The offline engine writes MP3 only, not OGG_OPUS.");
    requestRow("pitch not a number", R"({"input":{"text":"Hi"},"audioConfig":{"pitch":"high"}})",
               "The pitch of the request is not a number.");
    requestRow("rate not a number", R"({"input":{"text":"Hi"},"audioConfig":{"speakingRate":[1]}})",
               "The speaking rate of the request is not a number.");
    requestRow("malformed SSML", R"({"input":{"ssml":"<speak><emphasis>Hi</speak>"}})",
               "The SSML could not be read");
}

void TestOfflineVoice::request() {
    QFETCH(QByteArray, json);
    QFETCH(QString, error);
    QFETCH(QString, voice);
    QFETCH(int, espeakPitch);
    QFETCH(int, espeakRate);
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    QVERIFY(!object.isEmpty());
    OfflineRequest request;
    QString message;
    const bool ok = OfflineRequest::fromJson(object, &request, &message);
    QCOMPARE(ok, error.isNull());
    if (!ok) {
        QVERIFY2(message.startsWith(error), qPrintable(message));
        return;
    }
    QCOMPARE(request.voice.identifier(), voice);
    QCOMPARE(request.espeakPitch, espeakPitch);
    QCOMPARE(request.espeakRate, espeakRate);
    QVERIFY(request.document.ssml.startsWith(QLatin1String("<speak>")));
}

QTEST_GUILESS_MAIN(TestOfflineVoice)
#include "tst_offlinevoice.moc"
