#include "SpanBuilders.h"
#include "document/ParlinoDocument.h"

#include <QTemporaryDir>
#include <QTest>

using namespace parlino;

class TestDocument : public QObject {
    Q_OBJECT
private slots:
    void readsFullDocument();
    void readsPlainText_data();
    void readsPlainText();
    void refuses_data();
    void refuses();
    void roundTrip();
    void saveFailsCleanly();
};

void TestDocument::readsFullDocument() {
    const QByteArray json = R"({
      "text": "Wait\u23F8now",
      "effects": [ { "effect": "Break", "location": 4, "length": 1, "value": "2" },
                   { "effect": "Time", "location": 0, "length": 4, "value": "ignored" },
                   { "effect": "Say as", "location": 5, "length": 3, "value": "verbatim" } ],
      "voice": "en-GB-Standard-A", "pitch": -3, "speed": 150
    })";
    QString error;
    const auto document = ParlinoDocument::fromBytes(json, true, &error);
    QVERIFY2(document, qPrintable(error));
    QCOMPARE(document->text, QStringLiteral("Wait\u23F8now"));
    QCOMPARE(ranges(document->effects), QStringLiteral("[4,5) [0,4) [5,8)"));
    QCOMPARE(document->effects.at(0).ssmlTag, QStringLiteral("2"));
    QVERIFY(!document->effects.at(0).color.isValid());
    QCOMPARE(document->effects.at(1).ssmlTag, QStringLiteral("time"));
    QCOMPARE(document->effects.at(2).color, QColor(0x9F, 0xE4, 0x84));
    QCOMPARE(document->voice.value_or(QString()), QStringLiteral("en-GB-Standard-A"));
    QCOMPARE(document->pitch.value_or(0), -3);
    QCOMPARE(document->speed.value_or(0), 150);
}

void TestDocument::readsPlainText_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("Hello") << "Hello";
    QTest::newRow("braces are text") << QByteArray("{\"text\": 1}") << "{\"text\": 1}";
    QTest::newRow("byte order mark dropped") << QByteArray("\xEF\xBB\xBFHi") << "Hi";
    QTest::newRow("emoji") << QByteArray("\xF0\x9F\x98\x80") << QStringLiteral("\U0001F600");
    QTest::newRow("empty") << QByteArray() << "";
}

void TestDocument::readsPlainText() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QString error;
    const auto document = ParlinoDocument::fromBytes(bytes, false, &error);
    QVERIFY2(document, qPrintable(error));
    QCOMPARE(document->text, text);
    QVERIFY(document->effects.isEmpty());
    QVERIFY(!document->voice && !document->pitch && !document->speed);
}

void TestDocument::refuses_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("json");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not json") << QByteArray("{text: 1") << true << "not valid JSON";
    QTest::newRow("array at top") << QByteArray("[]") << true << "not a JSON object";
    QTest::newRow("no text") << QByteArray("{}") << true << "missing \"text\"";
    QTest::newRow("text not a string")
        << QByteArray(R"({"text": 5})") << true << "\"text\" must be a string";
    QTest::newRow("unknown effect")
        << QByteArray(R"({"text":"abc","effects":[{"effect":"emphasis","location":0,"length":1}]})")
        << true << "unknown effect \"emphasis\"";
    QTest::newRow("span past the end")
        << QByteArray(R"({"text":"abc","effects":[{"effect":"Sub","location":2,"length":2}]})")
        << true << "outside the text";
    QTest::newRow("negative location")
        << QByteArray(R"({"text":"abc","effects":[{"effect":"Sub","location":-1,"length":1}]})")
        << true << "outside the text";
    QTest::newRow("fractional length")
        << QByteArray(R"({"text":"abc","effects":[{"effect":"Sub","location":0,"length":1.5}]})")
        << true << "whole numbers";
    QTest::newRow("offsets count UTF-16 units")
        << QByteArray(
               R"({"text":"\ud83d\ude00","effects":[{"effect":"Sub","location":0,"length":3}]})")
        << true << "outside the text";
    QTest::newRow("effects not a list")
        << QByteArray(R"({"text":"a","effects":{}})") << true << "must be a list";
    QTest::newRow("pitch not whole")
        << QByteArray(R"({"text":"a","pitch":1.5})") << true << "\"pitch\" must be a whole number";
    QTest::newRow("speed a string") << QByteArray(R"({"text":"a","speed":"fast"})") << true
                                    << "\"speed\" must be a whole number";
    QTest::newRow("voice a number")
        << QByteArray(R"({"text":"a","voice":3})") << true << "\"voice\" must be a string";
    QTest::newRow("a pause that is no length")
        << QByteArray(R"({"text":"a","effects":[{"effect":"Break","location":0,"length":1,)"
                      R"("value":"abc"}]})")
        << true << "effect 1: Break value \"abc\": expected a length";
    QTest::newRow("invalid UTF-8 text") << QByteArray("abc\xff\xfe") << false << "not valid UTF-8";
}

void TestDocument::refuses() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, json);
    QFETCH(QString, reason);
    QString error;
    QVERIFY(!ParlinoDocument::fromBytes(bytes, json, &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY(!error.contains(u'\n'));
}

void TestDocument::roundTrip() {
    QTemporaryDir dir;
    ParlinoDocument document;
    document.text = QStringLiteral("a \U0001F600 \u23F8 <b> & \"q\"");
    document.effects = {span(2, 4, "Sub", "smile"), span(5, 6, "Break", "1.5"),
                        span(0, 1, "Time", "time"), span(7, 10, "Time", "hms24")};
    document.voice = QStringLiteral("de-DE-Standard-B");
    document.speed = 80;
    const QString path = dir.filePath(QStringLiteral("doc.json"));
    QString error;
    QVERIFY2(document.save(path, &error), qPrintable(error));
    const auto loaded = ParlinoDocument::load(path, &error);
    QVERIFY2(loaded, qPrintable(error));
    QCOMPARE(loaded->text, document.text);
    QCOMPARE(loaded->effects, document.effects);
    QCOMPARE(loaded->voice, document.voice);
    QVERIFY(!loaded->pitch);
    QCOMPARE(loaded->speed, document.speed);
}

void TestDocument::saveFailsCleanly() {
    QTemporaryDir dir;
    ParlinoDocument document;
    document.text = QStringLiteral("x");
    QString error;
    QVERIFY(!document.save(dir.filePath(QStringLiteral("missing/doc.json")), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!ParlinoDocument::load(dir.filePath(QStringLiteral("absent.json")), &error));
    QVERIFY(!error.isEmpty());
}

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
