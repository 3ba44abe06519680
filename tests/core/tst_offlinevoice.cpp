#include "GoldenData.h"
#include "catalogue/DataSource.h"
#include "synthesis/offline/OfflineRequest.h"
#include "synthesis/offline/OfflineVoice.h"

#include <QJsonObject>
#include <QSet>
#include <QTest>

using namespace parlino;

// The rows of one table under tests/data/offline, named by their first cell.
static void rowsOf(const char *table) {
    QTest::addColumn<QStringList>("row");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/offline/" + QString(table)))
        QTest::newRow(qPrintable(row.at(0))) << row;
}

class TestOfflineVoice : public QObject {
    Q_OBJECT
private slots:
    void voice_data() { rowsOf("voices.tsv"); }
    void voice();
    void everyCatalogueVoiceHasAnOfflineVoice();
    void prosody_data() { rowsOf("prosody.tsv"); }
    void prosody();
    void request_data();
    void request();
};

// tests/data/offline/voices.tsv: language code and voice name, the eSpeak
// voice that reads them, and whether another language stands in.
void TestOfflineVoice::voice() {
    QFETCH(QStringList, row);
    QCOMPARE(row.size(), 5);
    const OfflineVoice voice = OfflineVoice::forVoice(row.at(1), row.at(2));
    QCOMPARE(voice.identifier(), row.at(3));
    QCOMPARE(voice.substitute, row.at(4) == QLatin1String("substitute"));
    QVERIFY(!voice.substitute || !voice.note.isEmpty());
}

// Every voice maps; only Filipino needs another language, and says so; the
// voices of one language sound different from each other.
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
    const OfflineVoice filipino = OfflineVoice::forVoice("fil-PH", "fil-PH-Standard-A");
    QVERIFY(filipino.note.contains("Filipino") && filipino.note.contains("Indonesian"));
}

// tests/data/offline/prosody.tsv: pitch in semitones and speaking rate onto
// eSpeak's parameters, and whether the value was out of reach.
void TestOfflineVoice::prosody() {
    QFETCH(QStringList, row);
    QCOMPARE(row.size(), 5);
    const bool pitch = row.at(1) == QLatin1String("pitch");
    double value = row.at(2) == QLatin1String("nan") ? qQNaN() : row.at(2).toDouble();
    if (row.at(2) == QLatin1String("min"))
        value = pitch ? OfflineProsody::minPitch() : OfflineProsody::minSpeakingRate();
    else if (row.at(2) == QLatin1String("max"))
        value = pitch ? OfflineProsody::maxPitch() : OfflineProsody::maxSpeakingRate();
    const bool clamped = row.at(4) == QLatin1String("clamped");
    bool wasClamped = !clamped;
    QCOMPARE(pitch ? OfflineProsody::espeakPitch(value, &wasClamped)
                   : OfflineProsody::espeakRate(value, &wasClamped),
             row.at(3).toInt());
    QCOMPARE(wasClamped, clamped);
}

// tests/data/offline/requests.json: a cloud request body and either what
// eSpeak is given (voice, pitch, rate) or the start of the refusal.
void TestOfflineVoice::request_data() {
    QTest::addColumn<QJsonObject>("expected");
    for (const QJsonValue &c : goldenJsonArray(PARLINO_TEST_DATA "/offline/requests.json"))
        QTest::newRow(qPrintable(c["name"].toString())) << c.toObject();
}

void TestOfflineVoice::request() {
    QFETCH(QJsonObject, expected);
    OfflineRequest request;
    QString message;
    const bool ok =
        OfflineRequest::fromJson(expected.value("request").toObject(), &request, &message);
    QCOMPARE(ok, !expected.contains("error"));
    if (!ok) {
        QVERIFY2(message.startsWith(expected.value("error").toString()), qPrintable(message));
        return;
    }
    QCOMPARE(request.voice.identifier(), expected.value("voice").toString());
    QCOMPARE(request.espeakPitch, expected.value("espeakPitch").toInt());
    QCOMPARE(request.espeakRate, expected.value("espeakRate").toInt());
    QVERIFY(request.document.ssml.startsWith(QLatin1String("<speak>")));
}

QTEST_GUILESS_MAIN(TestOfflineVoice)
#include "tst_offlinevoice.moc"
