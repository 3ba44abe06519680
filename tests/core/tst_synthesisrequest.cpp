#include "SpanBuilders.h"
#include "synthesis/Conversion.h"
#include "synthesis/SynthesisRequest.h"

#include <QLocale>
#include <QTest>

using namespace parlino;

class TestSynthesisRequest : public QObject {
    Q_OBJECT
private slots:
    void input_data();
    void input();
    void audioConfig_data();
    void audioConfig();
    void voice();
};

void TestSynthesisRequest::input_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<EffectsArray>("spans");
    QTest::addColumn<QString>("member");
    QTest::addColumn<QString>("value");
    QTest::newRow("no spans: only text") << "Hello" << EffectsArray{} << "text"
                                         << "Hello";
    QTest::newRow("one span: only ssml")
        << "Hello world" << EffectsArray{span(6, 11)} << "ssml"
        << "<speak>Hello <emphasis level='strong'>world</emphasis></speak>";
    QTest::newRow("empty span still makes ssml") << "Hi" << EffectsArray{span(1, 1)} << "ssml"
                                                 << "<speak>Hi</speak>";
    QTest::newRow("pause glyph without spans stays text")
        << QString("a\u23F8b") << EffectsArray{} << "text" << QString("a\u23F8b");
}

void TestSynthesisRequest::input() {
    QFETCH(QString, text);
    QFETCH(EffectsArray, spans);
    QFETCH(QString, member);
    QFETCH(QString, value);
    ConversionInput in{text, spans, "en-GB-Standard-A", 0, 100};
    const QJsonObject input = Conversion::request(in).value("input").toObject();
    QCOMPARE(input.keys(), QStringList{member});
    QCOMPARE(input.value(member).toString(), value);
}

void TestSynthesisRequest::audioConfig_data() {
    QTest::addColumn<double>("pitch");
    QTest::addColumn<double>("speed");
    QTest::addColumn<int>("expectedPitch");
    QTest::addColumn<QString>("expectedRate");
    QTest::newRow("start-up values") << 0.0 << 100.0 << 0 << "1.00";
    QTest::newRow("fractions dropped toward zero") << 2.9 << 87.6 << 2 << "0.87";
    QTest::newRow("negative fraction") << -3.5 << 125.0 << -3 << "1.25";
    QTest::newRow("beyond 32 bits clamps") << 1e12 << 400.0 << INT_MAX << "4.00";
}

void TestSynthesisRequest::audioConfig() {
    QFETCH(double, pitch);
    QFETCH(double, speed);
    QFETCH(int, expectedPitch);
    QFETCH(QString, expectedRate);
    // A locale with a decimal comma must not leak into the body.
    QLocale::setDefault(QLocale(QLocale::German));
    const QJsonObject config = SynthesisRequest::body("t", "t", "en-GB-Standard-A", pitch, speed)
                                   .value("audioConfig")
                                   .toObject();
    QLocale::setDefault(QLocale::c());
    QCOMPARE(config.value("audioEncoding").toString(), QString("MP3"));
    QVERIFY(config.value("pitch").isDouble());
    QCOMPARE(config.value("pitch").toDouble(), double(expectedPitch));
    QVERIFY(config.value("speakingRate").isString());
    QCOMPARE(config.value("speakingRate").toString(), expectedRate);
    QCOMPARE(config.keys().size(), 3);
}

void TestSynthesisRequest::voice() {
    const QJsonObject voice =
        SynthesisRequest::body("t", "t", "en-GB-Standard-A", 0, 100).value("voice").toObject();
    QCOMPARE(voice, (QJsonObject{{"languageCode", "en-GB"}, {"name", "en-GB-Standard-A"}}));
    QVERIFY(SynthesisRequest::isUsableVoiceName("fil-PH-Standard-A"));
    QVERIFY(!SynthesisRequest::isUsableVoiceName("English"));
    QVERIFY(!SynthesisRequest::isUsableVoiceName("-x"));
}

QTEST_GUILESS_MAIN(TestSynthesisRequest)
#include "tst_synthesisrequest.moc"
