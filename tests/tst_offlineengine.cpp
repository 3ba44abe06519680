#include "Mp3Frames.h"
#include "OfflineAudio.h"
#include "SpanBuilders.h"
#include "catalogue/DataSource.h"
#include "synthesis/SsmlAssembly.h"
#include "synthesis/offline/BleepMixer.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace OfflineAudio;

namespace {

const QString glyph = QString(QChar(pauseGlyph));

// Language display name to a short sentence in it (kana only for Japanese,
// which eSpeak reads).
const QHash<QString, QString> &sentences() {
    static const QHash<QString, QString> table{
        {"Arabic", QString::fromUtf8("مرحبا، كيف حالك اليوم؟")},
        {"Czech (Czech Republic)", QString::fromUtf8("Dobrý den, jak se máte?")},
        {"Danish (Denmark)", "Goddag, hvordan har du det?"},
        {"Dutch (Netherlands)", "Goedendag, hoe gaat het met je?"},
        {"English (Australia)", "Good morning, how are you today?"},
        {"English (India)", "Good morning, how are you today?"},
        {"English (UK)", "Good morning, how are you today?"},
        {"English (US)", "Good morning, how are you today?"},
        {"English (Welsh)", "Good morning, how are you today?"},
        {"Filipino (Philippines)", "Magandang umaga, kumusta ka?"},
        {"Finnish (Finland)", QString::fromUtf8("Hyvää päivää, mitä kuuluu?")},
        {"French (Canada)", "Bonjour, comment allez-vous?"},
        {"French (France)", "Bonjour, comment allez-vous?"},
        {"German (Germany)", "Guten Tag, wie geht es Ihnen?"},
        {"Greek (Greece)", QString::fromUtf8("Καλημέρα, τι κάνεις;")},
        {"Hindi (India)", QString::fromUtf8("नमस्ते, आप कैसे हैं?")},
        {"Hungarian (Hungary)", QString::fromUtf8("Jó napot, hogy van?")},
        {"Icelandic", QString::fromUtf8("Góðan dag, hvað segirðu?")},
        {"Indonesian (Indonesia)", "Selamat pagi, apa kabar?"},
        {"Italian (Italy)", "Buongiorno, come stai?"},
        {"Japanese (Japan)", QString::fromUtf8("こんにちは、おげんきですか。")},
        {"Korean (Korean)", QString::fromUtf8("안녕하세요, 잘 지내세요?")},
        {"Norwegian (Norway)", "God dag, hvordan har du det?"},
        {"Polish (Poland)", QString::fromUtf8("Dzień dobry, jak się masz?")},
        {"Portuguese (Brazil)", QString::fromUtf8("Bom dia, como vai você?")},
        {"Portuguese (Portugal)", QString::fromUtf8("Bom dia, como está?")},
        {"Romanian", QString::fromUtf8("Bună ziua, ce mai faci?")},
        {"Russian (Russia)", QString::fromUtf8("Добрый день, как дела?")},
        {"Slovak (Slovakia)", QString::fromUtf8("Dobrý deň, ako sa máte?")},
        {"Spanish (Mexican)", QString::fromUtf8("Buenos días, ¿cómo estás?")},
        {"Spanish (Spain)", QString::fromUtf8("Buenos días, ¿cómo estás?")},
        {"Spanish (US)", QString::fromUtf8("Buenos días, ¿cómo estás?")},
        {"Swedish (Sweden)", QString::fromUtf8("God dag, hur mår du?")},
        {"Turkish (Turkey)", QString::fromUtf8("İyi günler, nasılsınız?")},
        {"Ukrainian (Ukraine)", QString::fromUtf8("Добрий день, як справи?")},
        {"Vietnamese (Vietnam)", QString::fromUtf8("Xin chào, bạn khỏe không?")},
        {"Welsh", "Bore da, sut wyt ti?"}};
    return table;
}

// Language codes for the catalogue's languages without cloud voices.
const QHash<QString, QString> &codesWithoutVoices() {
    static const QHash<QString, QString> table{
        {"English (Welsh)", "en-GB"},   {"Icelandic", "is-IS"},    {"Romanian", "ro-RO"},
        {"Spanish (Mexican)", "es-MX"}, {"Spanish (US)", "es-US"}, {"Welsh", "cy-GB"}};
    return table;
}

double ffprobeSeconds(const QByteArray &mp3) {
    const QString ffprobe = QStandardPaths::findExecutable(QStringLiteral("ffprobe"));
    QTemporaryDir dir;
    if (ffprobe.isEmpty() || !dir.isValid())
        return -1;
    QFile file(dir.filePath(QStringLiteral("a.mp3")));
    if (!file.open(QIODevice::WriteOnly) || file.write(mp3) != mp3.size())
        return -1;
    file.close();
    QProcess process;
    process.start(ffprobe, {"-v", "error", "-show_entries", "format=duration", "-of",
                            "default=noprint_wrappers=1:nokey=1", file.fileName()});
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return -2;
    return process.readAllStandardOutput().trimmed().toDouble();
}

void verifyMp3(const QByteArray &mp3, double minSeconds, double maxSeconds) {
    const Mp3Frames info = Mp3Frames::read(mp3);
    QVERIFY2(info.valid, qPrintable(info.problem));
    QCOMPARE(info.sampleRate, 22050);
    QVERIFY(info.mono);
    QCOMPARE(info.mpegVersion, 2);
    QVERIFY(info.hasXing);
    QVERIFY(info.hasLameTag);
    QCOMPARE(info.xingFrames, info.frames);
    QVERIFY2(info.taggedSeconds() >= minSeconds && info.taggedSeconds() <= maxSeconds,
             qPrintable(QString::number(info.taggedSeconds())));
}

} // namespace

class TestOfflineEngine : public QObject {
    Q_OBJECT
private slots:
    void everyLanguageSpeaks_data();
    void everyLanguageSpeaks();
    void mp3LengthMatchesTheAudio();
    void breakAddsItsLength_data();
    void breakAddsItsLength();
    void louderIsLouder();
    void sayAsIsReadAsIntended_data();
    void sayAsIsReadAsIntended();
    void bleepReplacesTheWord();
    void pitchMovesTheVoice();
    void rateMovesTheVoice();
    void voiceLettersSoundDifferent();
    void oddInputConverts_data();
    void oddInputConverts();
    void assembledDocumentsConvert();
    void unreadableRequestIsAnError();
    void completionComesLaterAndOnce();
    void requestsQueueWithoutMixing();
    void destroyedEngineGetsNothing();
};

void TestOfflineEngine::everyLanguageSpeaks_data() {
    QTest::addColumn<QString>("languageCode");
    QTest::addColumn<QString>("voiceName");
    QTest::addColumn<QString>("sentence");
    const Catalogue catalogue = DataSource::returnDataSource();
    for (auto it = catalogue.cbegin(); it != catalogue.cend(); ++it) {
        const QString voice = it.value().isEmpty() ? QString() : it.value().first();
        const QString code = voice.isEmpty() ? codesWithoutVoices().value(it.key())
                                             : DataSource::languageCodeOfVoice(voice);
        QVERIFY2(sentences().contains(it.key()), qPrintable(it.key()));
        QTest::newRow(qPrintable(it.key())) << code << voice << sentences().value(it.key());
    }
}

// Every catalogue language, with or without cloud voices, gives a whole MP3:
// mono, 22,050 Hz, Xing and LAME tags, frames up to the last byte.
void TestOfflineEngine::everyLanguageSpeaks() {
    QFETCH(QString, languageCode);
    QFETCH(QString, voiceName);
    QFETCH(QString, sentence);
    OfflineSpeechEngine engine;
    const Mp3Result result = mp3Of(engine, request(sentence, false, languageCode, voiceName));
    QVERIFY(result.arrived);
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    verifyMp3(result.mp3, 0.5, 8.0);
}

// The tag's length is the synthesised audio's length (within the small
// differences between two syntheses of one text), and ffprobe agrees.
void TestOfflineEngine::mp3LengthMatchesTheAudio() {
    OfflineSpeechEngine engine;
    const QJsonObject r =
        english(QStringLiteral("The quick brown fox jumps over the lazy dog."), false);
    const PcmResult pcm = pcmOf(engine, r);
    const Mp3Result mp3 = mp3Of(engine, r);
    QVERIFY(pcm.error.isEmpty() && mp3.error.isEmpty());
    const Mp3Frames info = Mp3Frames::read(mp3.mp3);
    QVERIFY(info.valid);
    QVERIFY2(qAbs(info.taggedSamples() - pcm.pcm.samples.size()) < 22050 / 20,
             qPrintable(
                 QStringLiteral("%1 vs %2").arg(info.taggedSamples()).arg(pcm.pcm.samples.size())));
    const double probed = ffprobeSeconds(mp3.mp3);
    if (probed == -1)
        QSKIP("ffprobe is not installed");
    QVERIFY2(qAbs(probed - info.taggedSeconds()) < 0.1, qPrintable(QString::number(probed)));
}

void TestOfflineEngine::breakAddsItsLength_data() {
    QTest::addColumn<QString>("ssml");
    QTest::addColumn<double>("added");
    QTest::newRow("two seconds") << "<speak>Wait<break time='2s' />now</speak>" << 2.0;
    QTest::newRow("half a second") << "<speak>Wait<break time='0.5s' />now</speak>" << 0.5;
    QTest::newRow("adjacent breaks add up")
        << "<speak>Wait<break time='2s' /><break time='2s' />now</speak>" << 4.0;
    QTest::newRow("pause glyph without a span") << "Wait" + glyph + "now" << 1.0;
    QTest::newRow("pause before the first word")
        << "<speak><break time='2s' />Wait now</speak>" << 2.0;
}

void TestOfflineEngine::breakAddsItsLength() {
    QFETCH(QString, ssml);
    QFETCH(double, added);
    OfflineSpeechEngine engine;
    const bool isSsml = ssml.startsWith(QLatin1String("<speak>"));
    const PcmResult plain = pcmOf(engine, english(QStringLiteral("Wait now"), false));
    const PcmResult paused = pcmOf(engine, english(ssml, isSsml));
    QVERIFY(plain.error.isEmpty() && paused.error.isEmpty());
    const double difference = paused.pcm.seconds() - plain.pcm.seconds();
    QVERIFY2(qAbs(difference - added) < 0.25, qPrintable(QString::number(difference)));
}

void TestOfflineEngine::louderIsLouder() {
    OfflineSpeechEngine engine;
    QMap<QString, double> level;
    for (const char *volume : {"x-soft", "medium", "x-loud", "+6dB"}) {
        const PcmResult r =
            pcmOf(engine, english(QStringLiteral("<speak><prosody volume='%1'>Speak to me now, "
                                                 "please.</prosody></speak>")
                                      .arg(QLatin1String(volume))));
        QVERIFY(r.error.isEmpty());
        level[QLatin1String(volume)] = rmsDb(r.pcm.samples);
    }
    QVERIFY2(level["x-loud"] > level["x-soft"] + 10, qPrintable(QString::number(level["x-loud"])));
    QVERIFY(level["medium"] > level["x-soft"] + 5);
    QVERIFY(level["x-loud"] > level["medium"] + 3);
    QVERIFY2(level["+6dB"] > level["medium"] + 2, qPrintable(QString::number(level["+6dB"])));
}

void TestOfflineEngine::sayAsIsReadAsIntended_data() {
    QTest::addColumn<QString>("languageCode");
    QTest::addColumn<QString>("voiceName");
    QTest::addColumn<QString>("ssml");
    QTest::addColumn<QString>("expected"); // words that must be heard
    QTest::addColumn<QString>("unwanted"); // what eSpeak says without the rewrite
    QTest::newRow("date, en-US")
        << "en-US"
        << "en-US-Standard-B"
        << "<speak><say-as interpret-as='date' format='dmy'>10-09-1960</say-as></speak>"
        << "September tenth"
        << "dash";
    QTest::newRow("date, de-DE")
        << "de-DE"
        << "de-DE-Standard-A"
        << "<speak><say-as interpret-as='date' format='dmy'>10.09.1960</say-as></speak>"
        << "zehnter September neunzehnhundert"
        << "Punkt";
    QTest::newRow("date, fr-FR")
        << "fr-FR"
        << "fr-FR-Standard-A"
        << "<speak><say-as interpret-as='date' format='yyyymmdd'>19600910</say-as></speak>"
        << "septembre"
        << "millions";
    QTest::newRow("time, en-US")
        << "en-US"
        << "en-US-Standard-B"
        << "<speak><say-as interpret-as='time' format='hms12'>14:30</say-as></speak>"
        << "two thirty P M"
        << "fourteen";
    QTest::newRow("ordinal, en-US") << "en-US"
                                    << "en-US-Standard-B"
                                    << "<speak><say-as interpret-as='ordinal'>3</say-as></speak>"
                                    << "third"
                                    << "three";
    QTest::newRow("ordinal, it-IT") << "it-IT"
                                    << "it-IT-Standard-A"
                                    << "<speak><say-as interpret-as='ordinal'>3</say-as></speak>"
                                    << "terzo"
                                    << "tre";
    QTest::newRow("fraction, en-US")
        << "en-US"
        << "en-US-Standard-B"
        << "<speak><say-as interpret-as='fraction'>3/4</say-as></speak>"
        << "three quarters"
        << "slash";
    QTest::newRow("verbatim, en-US")
        << "en-US"
        << "en-US-Standard-B"
        << "<speak><say-as interpret-as='verbatim'>cat</say-as></speak>"
        << "C"
        << "cat";
    QTest::newRow("full stop after a tag is not read")
        << "en-US"
        << "en-US-Standard-B"
        << "<speak>A <emphasis level='strong'>dog</emphasis>.</speak>"
        << "A dog"
        << "dot";
}

// Checked on eSpeak's own phonemes: the effect's words are spoken, and what
// eSpeak says for the bare text is not.
void TestOfflineEngine::sayAsIsReadAsIntended() {
    QFETCH(QString, languageCode);
    QFETCH(QString, voiceName);
    QFETCH(QString, ssml);
    QFETCH(QString, expected);
    QFETCH(QString, unwanted);
    OfflineSpeechEngine engine;
    auto phonemesOf = [&](const QString &input, bool isSsml) {
        const PcmResult r = pcmOf(engine, request(input, isSsml, languageCode, voiceName));
        return r.error.isEmpty() ? plainPhonemes(r.pcm.phonemes) : QString();
    };
    const QString heard = phonemesOf(ssml, true);
    const QString wanted = phonemesOf(expected, false);
    const QString notWanted = phonemesOf(unwanted, false);
    QVERIFY(!heard.isEmpty() && !wanted.isEmpty() && !notWanted.isEmpty());
    QVERIFY2(heard.contains(wanted), qPrintable(heard + " / " + wanted));
    QVERIFY2(!heard.contains(notWanted), qPrintable(heard + " / " + notWanted));
}

// The expletive's stretch, between the two marks, is a pure tone of about the
// word's length, and the sentence keeps its length.
void TestOfflineEngine::bleepReplacesTheWord() {
    OfflineSpeechEngine engine;
    const PcmResult clean =
        pcmOf(engine, english(QStringLiteral("<speak>one extraordinary two</speak>")));
    const PcmResult bleeped = pcmOf(
        engine, english(QStringLiteral("<speak>one <say-as interpret-as='expletive'>extraordinary"
                                       "</say-as> two</speak>")));
    QVERIFY(clean.error.isEmpty() && bleeped.error.isEmpty());
    qint64 on = -1, off = -1;
    for (const OfflinePcm::Event &e : bleeped.pcm.events) {
        if (e.type == OfflinePcm::Event::Mark && e.name == QLatin1String("parlino-bleep-on"))
            on = e.sample;
        if (e.type == OfflinePcm::Event::Mark && e.name == QLatin1String("parlino-bleep-off"))
            off = e.sample;
    }
    QVERIFY(on > 0 && off > on);
    const double seconds = double(off - on) / bleeped.pcm.sampleRate;
    QVERIFY2(seconds > 0.4 && seconds < 1.5, qPrintable(QString::number(seconds)));
    QVERIFY(qAbs(bleeped.pcm.seconds() - clean.pcm.seconds()) < 0.3);

    // Inside: the tone's level, and its frequency from the zero crossings.
    const QVector<qint16> &s = bleeped.pcm.samples;
    const qsizetype from = on + 400, to = off - 400;
    const double expectedDb =
        20.0 * std::log10(BleepMixer::toneAmplitude / std::sqrt(2.0) / 32768.0);
    QVERIFY(qAbs(rmsDb(s, from, to) - expectedDb) < 0.5);
    int crossings = 0;
    for (qsizetype i = from + 1; i < to; ++i)
        crossings += (s[i - 1] < 0) != (s[i] < 0);
    const double hz = crossings / 2.0 / (double(to - from) / bleeped.pcm.sampleRate);
    QVERIFY2(qAbs(hz - BleepMixer::toneHz) < 20, qPrintable(QString::number(hz)));
    // Outside, speech goes on.
    QVERIFY(rmsDb(s, 0, on) > -40);
    QVERIFY(rmsDb(s, off, s.size()) > -40);
}

void TestOfflineEngine::pitchMovesTheVoice() {
    OfflineSpeechEngine engine;
    const QString text = QStringLiteral("Many men and women were moving along the long road.");
    QMap<int, double> f0;
    for (int semitones : {-6, 0, 8}) {
        const PcmResult r = pcmOf(engine, english(text, false, semitones));
        QVERIFY(r.error.isEmpty());
        f0[semitones] = medianF0(r.pcm.samples, r.pcm.sampleRate);
        QVERIFY(f0[semitones] > 0);
    }
    // In proportion: a semitone is a factor of 2^(1/12); 15 % tolerance.
    QVERIFY2(qAbs(f0[8] / f0[0] / std::pow(2.0, 8 / 12.0) - 1) < 0.15,
             qPrintable(QStringLiteral("%1 %2").arg(f0[8]).arg(f0[0])));
    QVERIFY2(qAbs(f0[-6] / f0[0] / std::pow(2.0, -6 / 12.0) - 1) < 0.15,
             qPrintable(QStringLiteral("%1 %2").arg(f0[-6]).arg(f0[0])));
}

void TestOfflineEngine::rateMovesTheVoice() {
    OfflineSpeechEngine engine;
    const QString text = QStringLiteral("Many men and women were moving along the long road.");
    const double normal = pcmOf(engine, english(text, false)).pcm.seconds();
    const double fast = pcmOf(engine, english(text, false, 0, "2.00")).pcm.seconds();
    const double slowest = pcmOf(engine, english(text, false, 0, "0.25")).pcm.seconds();
    QVERIFY2(fast / normal > 0.42 && fast / normal < 0.62,
             qPrintable(QString::number(fast / normal)));
    // 0.25 is below eSpeak's floor: it is read at 80 words per minute, about 2.1 times as long.
    QVERIFY2(slowest / normal > 1.8 && slowest / normal < 2.4,
             qPrintable(QString::number(slowest / normal)));
}

// The five voices of one language have five different pitches.
void TestOfflineEngine::voiceLettersSoundDifferent() {
    OfflineSpeechEngine engine;
    QList<double> f0s;
    for (const QChar letter : QStringLiteral("ABCDE")) {
        const PcmResult r =
            pcmOf(engine, request(QStringLiteral("Goedendag, hoe gaat het met je?"), false, "nl-NL",
                                  QStringLiteral("nl-NL-Standard-") + letter));
        QVERIFY(r.error.isEmpty());
        const double f0 = medianF0(r.pcm.samples, r.pcm.sampleRate);
        for (const double other : f0s)
            QVERIFY2(
                qAbs(f0 / other - 1) > 0.05,
                qPrintable(QStringLiteral("%1: %2 Hz vs %3 Hz").arg(letter).arg(f0).arg(other)));
        f0s << f0;
    }
}

void TestOfflineEngine::oddInputConverts_data() {
    QTest::addColumn<QJsonObject>("request");
    QTest::addColumn<double>("minSeconds");
    QTest::addColumn<double>("maxSeconds");
    QTest::newRow("empty text") << english(QString(), false) << 0.0 << 0.5;
    QTest::newRow("empty SSML") << english(QStringLiteral("<speak></speak>")) << 0.0 << 0.5;
    QTest::newRow("only pause glyphs") << english(glyph + glyph + glyph, false) << 2.8 << 3.5;
    QTest::newRow("a 20,000-letter word, fast")
        << english(QString(20000, QLatin1Char('a')), false, 0, "4.00") << 10.0 << 400.0;
    // Mostly spaces, so that the audio stays short.
    QString longText;
    while (longText.size() < 50000)
        longText += QStringLiteral("Tom & Ann.").leftJustified(100, QLatin1Char(' '));
    QTest::newRow("50,000 characters") << english(longText, false, 0, "2.00") << 60.0 << 600.0;
    QTest::newRow("lone surrogate and control characters")
        << english(QStringLiteral("abc ") + QChar(0xD800) + QStringLiteral(" def \x01\x02 ghi"),
                   false)
        << 0.5 << 5.0;
    QTest::newRow("deeply nested emphasis")
        << english("<speak>" + QStringLiteral("<emphasis>").repeated(2000) + "deep" +
                   QStringLiteral("</emphasis>").repeated(2000) + "</speak>")
        << 0.2 << 5.0;
    QTest::newRow("Filipino, read by Indonesian")
        << request(QStringLiteral("Salamat po"), false, "fil-PH", "fil-PH-Standard-A") << 0.3
        << 5.0;
}

void TestOfflineEngine::oddInputConverts() {
    QFETCH(QJsonObject, request);
    QFETCH(double, minSeconds);
    QFETCH(double, maxSeconds);
    OfflineSpeechEngine engine;
    const Mp3Result result = mp3Of(engine, request);
    QVERIFY(result.arrived);
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    verifyMp3(result.mp3, minSeconds, maxSeconds);
}

// Documents the editor can assemble, with every effect and value, all convert.
void TestOfflineEngine::assembledDocumentsConvert() {
    const QString text = QStringLiteral("On 10-09-1960 at 2:05 PM the 3rd of 3/4 said damn. "
                                        "Wait") +
                         glyph + QStringLiteral("now & <then> it's \"ok\".");
    QList<SSMLCharactersModel> pool;
    for (const EffectKind &kind : EffectKind::all()) {
        QStringList values;
        for (const EffectOption &option : kind.options)
            values << option.value;
        if (values.isEmpty())
            values << QStringLiteral("2") << QStringLiteral("a & b") << QString();
        for (const QString &value : values)
            pool << span(0, 0, kind.name, value);
    }
    QRandomGenerator random(7);
    OfflineSpeechEngine engine;
    for (int round = 0; round < 12; ++round) {
        EffectsArray spans;
        for (int i = 0; i < 4; ++i) {
            SSMLCharactersModel s = pool.at(random.bounded(int(pool.size())));
            const int a = random.bounded(int(text.size()) + 1);
            const int b = random.bounded(int(text.size()) + 1);
            s.location = qMin(a, b);
            s.length = qAbs(a - b);
            if (s.effects == QLatin1String("Break")) {
                s.location = text.indexOf(glyph);
                s.length = 1;
            }
            spans << s;
        }
        const QString ssml = assembleSsml(text, spans);
        const Mp3Result result = mp3Of(engine, english(ssml));
        QVERIFY2(result.error.isEmpty(), qPrintable(result.error + " for " + ssml));
        verifyMp3(result.mp3, 1.0, 30.0);
    }
}

void TestOfflineEngine::unreadableRequestIsAnError() {
    OfflineSpeechEngine engine;
    const Mp3Result bad = mp3Of(engine, english(QStringLiteral("<speak><emphasis>a</speak>")));
    QVERIFY(bad.arrived);
    QVERIFY(bad.mp3.isEmpty());
    QVERIFY2(bad.error.startsWith(QLatin1String("The SSML could not be read")),
             qPrintable(bad.error));
    const Mp3Result none = mp3Of(engine, QJsonObject());
    QVERIFY(none.arrived);
    QVERIFY(none.mp3.isEmpty());
    QCOMPARE(none.error, QStringLiteral("The request has no text or SSML to speak."));
}

void TestOfflineEngine::completionComesLaterAndOnce() {
    OfflineSpeechEngine engine;
    for (const QJsonObject &r : {english(QStringLiteral("Hi"), false), QJsonObject()}) {
        int calls = 0;
        engine.synthesize(r, [&calls](const QByteArray &, const QString &) { ++calls; });
        QCOMPARE(calls, 0);
        QTRY_COMPARE(calls, 1);
        QTest::qWait(50);
        QCOMPARE(calls, 1);
    }
}

// Several engines, several requests at once: each result belongs to its request.
void TestOfflineEngine::requestsQueueWithoutMixing() {
    OfflineSpeechEngine first;
    OfflineSpeechEngine second;
    const QStringList texts{QStringLiteral("One."),
                            QStringLiteral("One two three four five six seven eight nine ten."),
                            QStringLiteral("One two three.")};
    QVector<double> seconds(texts.size(), -1);
    for (int i = 0; i < texts.size(); ++i) {
        OfflineSpeechEngine &engine = i % 2 ? second : first;
        engine.synthesize(english(texts.at(i), false),
                          [&seconds, i](const QByteArray &mp3, const QString &) {
                              seconds[i] = Mp3Frames::read(mp3).taggedSeconds();
                          });
    }
    QTRY_VERIFY_WITH_TIMEOUT(!seconds.contains(-1), 30000);
    QVERIFY(seconds[0] > 0.2);
    QVERIFY(seconds[0] < seconds[2]);
    QVERIFY(seconds[2] < seconds[1]);
}

void TestOfflineEngine::destroyedEngineGetsNothing() {
    bool called = false;
    {
        OfflineSpeechEngine engine;
        engine.synthesize(english(QString(3000, QLatin1Char('b')), false),
                          [&called](const QByteArray &, const QString &) { called = true; });
    }
    // The next engine's request runs after the abandoned one and still works.
    OfflineSpeechEngine engine;
    const Mp3Result result = mp3Of(engine, english(QStringLiteral("Still here."), false));
    QVERIFY(result.error.isEmpty());
    QVERIFY(!called);
}

QTEST_GUILESS_MAIN(TestOfflineEngine)
#include "tst_offlineengine.moc"
