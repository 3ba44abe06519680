#include "catalogue/DataSource.h"
#include "synthesis/offline/OfflineRequest.h"
#include "synthesis/offline/OfflineVoice.h"

#include <QJsonDocument>
#include <QSet>
#include <QTest>

class TestOfflineVoice : public QObject {
    Q_OBJECT
private slots:
    void voice_data();
    void voice();
    void everyCatalogueVoiceHasAnOfflineVoice();
    void mappingTableCoversTheCatalogue();
    void pitch_data();
    void pitch();
    void rate_data();
    void rate();
    void reachableRange();
    void request_data();
    void request();
};

void TestOfflineVoice::voice_data() {
    QTest::addColumn<QString>("languageCode");
    QTest::addColumn<QString>("voiceName");
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<bool>("substitute");

    QTest::newRow("en-US B") << "en-US"
                             << "en-US-Standard-B"
                             << "en-us+f3" << false;
    QTest::newRow("en-GB A") << "en-GB"
                             << "en-GB-Standard-A"
                             << "en+m3" << false;
    QTest::newRow("en-AU reads British") << "en-AU"
                                         << "en-AU-Standard-C"
                                         << "en+m8" << false;
    QTest::newRow("pt-BR") << "pt-BR"
                           << "pt-BR-Standard-A"
                           << "pt-br+m3" << false;
    QTest::newRow("nb-NO D") << "nb-NO"
                             << "nb-NO-Standard-D"
                             << "nb+Annie" << false;
    QTest::newRow("nl-NL E") << "nl-NL"
                             << "nl-NL-Standard-E"
                             << "nl+f1" << false;
    QTest::newRow("fr-CA reads French") << "fr-CA"
                                        << "fr-CA-Standard-A"
                                        << "fr+m3" << false;
    QTest::newRow("Filipino falls back") << "fil-PH"
                                         << "fil-PH-Standard-A"
                                         << "id+m3" << true;
    QTest::newRow("Spanish (Mexican) without voice") << "es-MX"
                                                     << ""
                                                     << "es-419" << false;
    QTest::newRow("Welsh") << "cy-GB"
                           << ""
                           << "cy" << false;
    QTest::newRow("lower-case code") << "de-de"
                                     << "de-DE-Standard-B"
                                     << "de+f3" << false;
    QTest::newRow("unknown region of a known language") << "es-AR"
                                                        << ""
                                                        << "es" << false;
    QTest::newRow("Norwegian as no") << "no-NO"
                                     << ""
                                     << "nb" << false;
    QTest::newRow("unknown language") << "xx-YY"
                                      << "xx-YY-Standard-A"
                                      << "en+m3" << true;
    QTest::newRow("no language") << ""
                                 << ""
                                 << "en" << true;
    QTest::newRow("letter beyond E") << "it-IT"
                                     << "it-IT-Standard-F"
                                     << "it" << false;
    QTest::newRow("name without letter") << "it-IT"
                                         << "Standard"
                                         << "it" << false;
}

void TestOfflineVoice::voice() {
    QFETCH(QString, languageCode);
    QFETCH(QString, voiceName);
    QFETCH(QString, identifier);
    QFETCH(bool, substitute);
    const OfflineVoice voice = OfflineVoice::forVoice(languageCode, voiceName);
    QCOMPARE(voice.identifier(), identifier);
    QCOMPARE(voice.substitute, substitute);
    if (substitute)
        QVERIFY(!voice.note.isEmpty());
}

// Every voice maps; only Filipino needs another language; the voices of one
// language sound different from each other.
void TestOfflineVoice::everyCatalogueVoiceHasAnOfflineVoice() {
    const Catalogue catalogue = DataSource::returnDataSource();
    for (auto it = catalogue.cbegin(); it != catalogue.cend(); ++it) {
        QSet<QString> identifiers;
        for (const QString &name : it.value()) {
            const OfflineVoice voice =
                OfflineVoice::forVoice(DataSource::languageCodeOfVoice(name), name);
            QVERIFY2(!voice.espeakName.isEmpty(), qPrintable(name));
            QVERIFY2(!voice.variant.isEmpty(), qPrintable(name));
            QCOMPARE(voice.substitute, name.startsWith(QLatin1String("fil-")));
            identifiers.insert(voice.identifier());
        }
        QCOMPARE(identifiers.size(), it.value().size());
    }
    const OfflineVoice filipino = OfflineVoice::forVoice("fil-PH", "fil-PH-Standard-A");
    QVERIFY(filipino.note.contains(QLatin1String("Filipino")));
    QVERIFY(filipino.note.contains(QLatin1String("Indonesian")));
}

void TestOfflineVoice::mappingTableCoversTheCatalogue() {
    QSet<QString> codes;
    for (const OfflineVoiceRow &row : OfflineVoice::mappingTable())
        codes.insert(row.languageCode);
    const Catalogue catalogue = DataSource::returnDataSource();
    for (const QStringList &voices : catalogue) {
        for (const QString &name : voices)
            QVERIFY2(codes.contains(DataSource::languageCodeOfVoice(name)), qPrintable(name));
    }
    // The six languages without cloud voices are there too.
    for (const char *code : {"cy-GB", "is-IS", "ro-RO", "es-MX", "es-US"})
        QVERIFY2(codes.contains(QLatin1String(code)), code);
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
    QTest::newRow("below reach") << -7.0 << 0 << true;
    QTest::newRow("far below") << -20.0 << 0 << true;
    QTest::newRow("above reach") << 9.0 << 99 << true;
    QTest::newRow("far above") << 20.0 << 99 << true;
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
    QTest::newRow("below the floor") << 0.25 << 80 << true;
    QTest::newRow("above the highest") << 5.0 << 700 << true;
    QTest::newRow("zero") << 0.0 << 175 << true;
    QTest::newRow("negative") << -1.0 << 175 << true;
}

void TestOfflineVoice::rate() {
    QFETCH(double, speakingRate);
    QFETCH(int, wordsPerMinute);
    QFETCH(bool, clamped);
    bool wasClamped = !clamped;
    QCOMPARE(OfflineProsody::espeakRate(speakingRate, &wasClamped), wordsPerMinute);
    QCOMPARE(wasClamped, clamped);
}

void TestOfflineVoice::reachableRange() {
    QVERIFY(OfflineProsody::minPitch() < -6.0 && OfflineProsody::minPitch() > -7.0);
    QVERIFY(OfflineProsody::maxPitch() > 8.0 && OfflineProsody::maxPitch() < 9.0);
    QCOMPARE(OfflineProsody::espeakRate(OfflineProsody::minSpeakingRate()), 80);
    QCOMPARE(OfflineProsody::espeakRate(OfflineProsody::maxSpeakingRate()), 700);
}

void TestOfflineVoice::request_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("error"); // empty: accepted
    QTest::addColumn<QString>("voice");
    QTest::addColumn<int>("espeakPitch");
    QTest::addColumn<int>("espeakRate");

    const QByteArray voice = R"("voice":{"languageCode":"en-GB","name":"en-GB-Standard-B"})";
    QTest::newRow("text request")
        << QByteArray(R"({"input":{"text":"Hi"},)" + voice +
                      R"(,"audioConfig":{"audioEncoding":"MP3","pitch":-3,"speakingRate":"1.25"}})")
        << ""
        << "en+f3" << 30 << 219;
    QTest::newRow("SSML request, numbers as numbers")
        << QByteArray(R"({"input":{"ssml":"<speak>Hi</speak>"},)" + voice +
                      R"(,"audioConfig":{"pitch":2,"speakingRate":0.5}})")
        << ""
        << "en+f3" << 62 << 88;
    QTest::newRow("no audio config") << QByteArray(R"({"input":{"text":"Hi"},)" + voice + "}") << ""
                                     << "en+f3" << 50 << 175;
    QTest::newRow("no input") << QByteArray(R"({)" + voice + "}")
                              << "The request has no text or SSML to speak."
                              << "" << 0 << 0;
    QTest::newRow("input not a string")
        << QByteArray(R"({"input":{"text":5}})") << "The request has no text or SSML to speak."
        << "" << 0 << 0;
    QTest::newRow("other encoding")
        << QByteArray(R"({"input":{"text":"Hi"},"audioConfig":{"audioEncoding":"OGG_OPUS"}})")
        << "The offline engine writes MP3 only, not OGG_OPUS."
        << "" << 0 << 0;
    QTest::newRow("pitch not a number")
        << QByteArray(R"({"input":{"text":"Hi"},"audioConfig":{"pitch":"high"}})")
        << "The pitch of the request is not a number."
        << "" << 0 << 0;
    QTest::newRow("rate not a number")
        << QByteArray(R"({"input":{"text":"Hi"},"audioConfig":{"speakingRate":[1]}})")
        << "The speaking rate of the request is not a number."
        << "" << 0 << 0;
    QTest::newRow("malformed SSML")
        << QByteArray(R"({"input":{"ssml":"<speak><emphasis>Hi</speak>"}})")
        << "The SSML could not be read"
        << "" << 0 << 0;
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
    QCOMPARE(ok, error.isEmpty());
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
