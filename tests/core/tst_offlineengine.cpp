#include "GoldenData.h"
#include "Loudness.h"
#include "Mp3Frames.h"
#include "OfflineAudio.h"
#include "SpanBuilders.h"
#include "catalogue/DataSource.h"
#include "synthesis/SsmlAssembly.h"
#include "synthesis/offline/BleepMixer.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTest>

using namespace parlino;

using namespace OfflineAudio;

namespace {

const QString glyph = QString(QChar(pauseGlyph));

// The second column of a two-column table in tests/data/espeak, by the first.
QString lookUp(const QString &table, const QString &key) {
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/espeak/" + table + ".tsv")) {
        if (row.at(0) == key)
            return row.value(1);
    }
    return QString();
}

// A short sentence in each catalogue language, by the language part of its code.
QString sentence(const QString &code) {
    return lookUp("sentences", code.section(QLatin1Char('-'), 0, 0));
}

// The length ffprobe reads from the file, or -1 without ffprobe.
double ffprobeSeconds(const QByteArray &mp3) {
    const QString ffprobe = QStandardPaths::findExecutable(QStringLiteral("ffprobe"));
    QTemporaryFile file;
    if (ffprobe.isEmpty() || !file.open() || file.write(mp3) != mp3.size() || !file.flush())
        return -1;
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
    QCOMPARE(info.mpegVersion, 2);
    QVERIFY(info.mono && info.hasXing && info.hasLameTag);
    QCOMPARE(info.xingFrames, info.frames);
    QVERIFY2(info.taggedSeconds() >= minSeconds && info.taggedSeconds() <= maxSeconds,
             qPrintable(QString::number(info.taggedSeconds())));
}

} // namespace

class TestOfflineEngine : public QObject {
    Q_OBJECT
private slots:
    void convertsToAWholeMp3_data();
    void convertsToAWholeMp3();
    void mp3LengthMatchesTheAudio();
    void breakAddsItsLength_data();
    void breakAddsItsLength();
    void pauseKeepsItsLengthAtEverySpeed_data();
    void pauseKeepsItsLengthAtEverySpeed();
    void louderIsLouder();
    void loudestVolumeDoesNotClip();
    void variantsOfALanguageAreEquallyLoud_data();
    void variantsOfALanguageAreEquallyLoud();
    void partsOfOneVoiceKeepOneLevel();
    void kanjiAreSkipped();
    void sayAsIsReadAsIntended_data();
    void sayAsIsReadAsIntended();
    void bleepReplacesTheWord();
    void prosodyMovesTheVoice_data();
    void prosodyMovesTheVoice();
    void voiceLettersSoundDifferent();
    void assembledDocumentsConvert();
    void completionComesLaterAndOnce_data();
    void completionComesLaterAndOnce();
    void requestsQueueWithoutMixing();
    void destroyedEngineGetsNothing();
};

void TestOfflineEngine::convertsToAWholeMp3_data() {
    QTest::addColumn<QJsonObject>("request");
    QTest::addColumn<double>("minSeconds");
    QTest::addColumn<double>("maxSeconds");
    // Every catalogue language, with or without cloud voices.
    const Catalogue catalogue = DataSource::returnDataSource();
    for (auto it = catalogue.cbegin(); it != catalogue.cend(); ++it) {
        const QString voice = it.value().value(0);
        const QString code = voice.isEmpty() ? lookUp("voiceless", it.key())
                                             : DataSource::languageCodeOfVoice(voice);
        QVERIFY2(!sentence(code).isEmpty(), qPrintable(it.key()));
        QTest::newRow(qPrintable(it.key()))
            << request(sentence(code), false, code, voice) << 0.5 << 8.0;
    }
    // Odd input.
    QTest::newRow("empty text") << english(QString(), false) << 0.0 << 0.5;
    QTest::newRow("empty SSML") << english("<speak></speak>") << 0.0 << 0.5;
    QTest::newRow("only pause glyphs") << english(glyph + glyph + glyph, false) << 2.8 << 3.5;
    QTest::newRow("a 20,000-letter word, fast")
        << english(QString(20000, QLatin1Char('a')), false, 0, "4.00") << 10.0 << 400.0;
    // Mostly spaces, so that the audio stays short.
    const QString longText = QString("Tom & Ann.").leftJustified(100).repeated(500);
    QTest::newRow("50,000 characters") << english(longText, false, 0, "2.00") << 60.0 << 600.0;
    QTest::newRow("lone surrogate and control characters")
        << english("abc " + QString(QChar(0xD800)) + " def \x01\x02 ghi", false) << 0.5 << 5.0;
    QTest::newRow("deeply nested emphasis")
        << english("<speak>" + QString("<emphasis>").repeated(2000) + "deep" +
                   QString("</emphasis>").repeated(2000) + "</speak>")
        << 0.2 << 5.0;
    QTest::newRow("Filipino, read by Indonesian")
        << request("Salamat po", false, "fil-PH", "fil-PH-Standard-A") << 0.3 << 5.0;
}

// A whole MP3: mono, 22,050 Hz, Xing and LAME tags, frames up to the last byte.
void TestOfflineEngine::convertsToAWholeMp3() {
    QFETCH(QJsonObject, request);
    QFETCH(double, minSeconds);
    QFETCH(double, maxSeconds);
    OfflineSpeechEngine engine;
    const Mp3Result result = mp3Of(engine, request);
    QVERIFY(result.arrived);
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    verifyMp3(result.mp3, minSeconds, maxSeconds);
}

// The tag's length is the synthesised audio's length (within the small
// differences between two syntheses of one text), and ffprobe agrees.
void TestOfflineEngine::mp3LengthMatchesTheAudio() {
    OfflineSpeechEngine engine;
    const QJsonObject r = english("The quick brown fox jumps over the lazy dog.", false);
    const PcmResult pcm = pcmOf(engine, r);
    const Mp3Result mp3 = mp3Of(engine, r);
    QVERIFY(pcm.error.isEmpty() && mp3.error.isEmpty());
    const Mp3Frames info = Mp3Frames::read(mp3.mp3);
    QVERIFY(info.valid);
    QVERIFY2(qAbs(info.taggedSamples() - pcm.pcm.samples.size()) < 22050 / 20,
             qPrintable(QString::number(info.taggedSamples() - pcm.pcm.samples.size())));
    const double probed = ffprobeSeconds(mp3.mp3);
    if (probed == -1)
        QSKIP("ffprobe is not installed");
    QVERIFY2(qAbs(probed - info.taggedSeconds()) < 0.1, qPrintable(QString::number(probed)));
}

void TestOfflineEngine::breakAddsItsLength_data() {
    QTest::addColumn<QString>("ssml");
    QTest::addColumn<double>("added");
    QTest::newRow("two seconds") << "<speak>Wait<break time='2s' />now</speak>" << 2.0;
    QTest::newRow("adjacent breaks add up")
        << "<speak>Wait<break time='2s' /><break time='2s' />now</speak>" << 4.0;
    QTest::newRow("pause glyph without a span") << "Wait" + glyph + "now" << 1.0;
    QTest::newRow("pause before the first word")
        << "<speak><break time='2s' />Wait now</speak>" << 2.0;
    QTest::newRow("three pauses of a million seconds stop at the cap")
        << "<speak>Wait" + QString("<break time='1000000s' />").repeated(3) + "now</speak>" << 60.0;
}

void TestOfflineEngine::breakAddsItsLength() {
    QFETCH(QString, ssml);
    QFETCH(double, added);
    OfflineSpeechEngine engine;
    const PcmResult plain = pcmOf(engine, english("Wait now", false));
    const PcmResult paused = pcmOf(engine, english(ssml, ssml.startsWith("<speak>")));
    QVERIFY(plain.error.isEmpty() && paused.error.isEmpty());
    const double difference = paused.pcm.seconds() - plain.pcm.seconds();
    QVERIFY2(qAbs(difference - added) < 0.25, qPrintable(QString::number(difference)));
}

void TestOfflineEngine::pauseKeepsItsLengthAtEverySpeed_data() {
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("ssml");
    const QString between = "<speak>Wait here<break time='2s' />now go</speak>";
    const QString before = "<speak><break time='2s' />Wait here now go</speak>";
    for (const char *rate : {"1.00", "2.50", "2.57", "3.00", "4.00"}) {
        QTest::addRow("between words at %s", rate) << rate << between;
        QTest::addRow("before the first word at %s", rate) << rate << before;
    }
}

// A pause is absolute time, as in the cloud service, also where eSpeak
// switches to its fast mode (450 words per minute, speed 257 %).
void TestOfflineEngine::pauseKeepsItsLengthAtEverySpeed() {
    QFETCH(QString, rate);
    QFETCH(QString, ssml);
    OfflineSpeechEngine engine;
    // Voice A: voice B's echo fills the first 120 ms of any pause.
    const PcmResult r = pcmOf(engine, request(ssml, true, "en-US", "en-US-Standard-A", 0, rate));
    QVERIFY(r.error.isEmpty());
    const double pause = longestSilence(r.pcm.samples, r.pcm.sampleRate);
    QVERIFY2(qAbs(pause - 2.0) <= 0.1, qPrintable(QString::number(pause)));
}

void TestOfflineEngine::louderIsLouder() {
    OfflineSpeechEngine engine;
    QMap<QString, double> level;
    for (const QString volume : {"x-soft", "medium", "x-loud", "+6dB"}) {
        const PcmResult r = pcmOf(engine, english("<speak><prosody volume='" + volume +
                                                  "'>Speak to me now, please."
                                                  "</prosody></speak>"));
        QVERIFY(r.error.isEmpty());
        level[volume] = rmsDb(r.pcm.samples);
    }
    QVERIFY2(level["x-loud"] > level["x-soft"] + 10, qPrintable(QString::number(level["x-loud"])));
    QVERIFY(level["medium"] > level["x-soft"] + 5);
    QVERIFY(level["x-loud"] > level["medium"] + 3);
    QVERIFY2(level["+6dB"] > level["medium"] + 2, qPrintable(QString::number(level["+6dB"])));
}

void TestOfflineEngine::loudestVolumeDoesNotClip() {
    OfflineSpeechEngine engine;
    for (const char *letter : {"A", "B", "C", "D", "E"}) {
        const PcmResult r =
            pcmOf(engine, request("<speak><prosody volume='x-loud'>Shout it out loud, all of you, "
                                  "right now! Papa, bob, kick the big drum.</prosody></speak>",
                                  true, "en-US", QStringLiteral("en-US-Standard-") + letter));
        QVERIFY(r.error.isEmpty());
        QCOMPARE(clippedSamples(r.pcm.samples), 0);
        QVERIFY(rmsDb(r.pcm.samples) > -30);
    }
}

void TestOfflineEngine::variantsOfALanguageAreEquallyLoud_data() {
    QTest::addColumn<QString>("code");
    for (const char *code : {"en-US", "de-DE", "fr-FR", "ja-JP", "ar-XA", "ru-RU"})
        QTest::newRow(code) << code;
}

// Integrated loudness as ffmpeg's ebur128 filter measures it: the five
// voices of a language within 1.5 dB of each other.
void TestOfflineEngine::variantsOfALanguageAreEquallyLoud() {
    QFETCH(QString, code);
    OfflineSpeechEngine engine;
    QMap<double, QString> byLoudness;
    for (const char *letter : {"A", "B", "C", "D", "E"}) {
        const QString text = sentence(code) + ' ' + sentence(code) + ' ' + sentence(code);
        const PcmResult r = pcmOf(engine, request(text, false, code, code + "-Standard-" + letter));
        QVERIFY(r.error.isEmpty());
        const auto loudness = ffmpegLoudness(r.pcm.samples, r.pcm.sampleRate);
        if (!loudness)
            QSKIP("ffmpeg is not installed");
        byLoudness.insert(*loudness, letter);
    }
    const double spread = byLoudness.lastKey() - byLoudness.firstKey();
    QVERIFY2(spread <= 1.5, qPrintable(QStringLiteral("%1 at %2 LUFS, %3 at %4 LUFS")
                                           .arg(byLoudness.first())
                                           .arg(byLoudness.firstKey())
                                           .arg(byLoudness.last())
                                           .arg(byLoudness.lastKey())));
}

// The parts of one conversion keep one level: a part that starts with a loud
// stretch follows the gain the part before it measured, so that the sentence
// both end with is equally loud in both.
void TestOfflineEngine::partsOfOneVoiceKeepOneLevel() {
    const QString last = QStringLiteral("Many men and women were moving along the long road.");
    const QString start = QString(last + ' ').repeated(5);
    OfflineSpeechEngine engine;
    QList<double> levels;
    for (const QString &opening : {start, "<emphasis level='strong'>" + start + "</emphasis>"}) {
        const PcmResult r =
            pcmOf(engine, english("<speak>" + opening + "<mark name='last'/>" + last + "</speak>"));
        QVERIFY(r.error.isEmpty());
        const auto mark = std::find_if(r.pcm.events.cbegin(), r.pcm.events.cend(),
                                       [](const OfflinePcm::Event &e) { return e.name == "last"; });
        QVERIFY(mark != r.pcm.events.cend());
        levels << rmsDb(r.pcm.samples, mark->sample);
    }
    QVERIFY2(qAbs(levels[0] - levels[1]) < 1.0,
             qPrintable(QStringLiteral("%1 dB, then %2 dB").arg(levels[0]).arg(levels[1])));
}

// eSpeak's Japanese reads kana only: kanji would be read as the English
// words "Chinese letter". They are left out.
void TestOfflineEngine::kanjiAreSkipped() {
    OfflineSpeechEngine engine;
    const PcmResult mixed =
        pcmOf(engine, request("今日は良い天気です。", false, "ja-JP", "ja-JP-Standard-A"));
    const PcmResult kana = pcmOf(engine, request("はいです。", false, "ja-JP", "ja-JP-Standard-A"));
    QVERIFY(mixed.error.isEmpty() && kana.error.isEmpty());
    QCOMPARE(mixed.pcm.phonemes, kana.pcm.phonemes);
    QVERIFY2(qAbs(mixed.pcm.seconds() - kana.pcm.seconds()) < 0.05,
             qPrintable(QString::number(mixed.pcm.seconds())));
    const PcmResult none = pcmOf(engine, request("天気", false, "ja-JP", "ja-JP-Standard-A"));
    QVERIFY2(none.error.contains("kana only"), qPrintable(none.error));
}

void TestOfflineEngine::sayAsIsReadAsIntended_data() {
    QTest::addColumn<QString>("languageCode");
    QTest::addColumn<QString>("ssml");
    QTest::addColumn<QString>("expected"); // words that must be heard
    QTest::addColumn<QString>("unwanted"); // what eSpeak says without the rewrite
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/espeak/heard.tsv"))
        QTest::newRow(qPrintable(row.at(0)))
            << row.at(1) << "<speak>" + row.at(2) + "</speak>" << row.at(3) << row.value(4);
}

// Checked on eSpeak's own phonemes: the effect's words are spoken, and what
// eSpeak says for the bare text is not.
void TestOfflineEngine::sayAsIsReadAsIntended() {
    QFETCH(QString, languageCode);
    QFETCH(QString, ssml);
    QFETCH(QString, expected);
    QFETCH(QString, unwanted);
    OfflineSpeechEngine engine;
    auto phonemesOf = [&](const QString &input, bool isSsml) {
        const PcmResult r =
            pcmOf(engine, request(input, isSsml, languageCode, languageCode + "-Standard-A"));
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
    const PcmResult clean = pcmOf(engine, english("<speak>one extraordinary two</speak>"));
    const PcmResult bleeped =
        pcmOf(engine, english("<speak>one <say-as interpret-as='expletive'>extraordinary</say-as> "
                              "two</speak>"));
    QVERIFY(clean.error.isEmpty() && bleeped.error.isEmpty());
    QHash<QString, qint64> marks;
    for (const OfflinePcm::Event &e : bleeped.pcm.events) {
        if (e.type == OfflinePcm::Event::Mark)
            marks.insert(e.name, e.sample);
    }
    const qint64 on = marks.value("parlino-bleep-on", -1);
    const qint64 off = marks.value("parlino-bleep-off", -1);
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

void TestOfflineEngine::prosodyMovesTheVoice_data() {
    QTest::addColumn<int>("semitones");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<double>("pitchRatio");  // of the median pitch; 0: not measured
    QTest::addColumn<double>("lengthRatio"); // of the length; 0: not measured
    QTest::newRow("8 semitones up") << 8 << "1.00" << std::pow(2.0, 8 / 12.0) << 0.0;
    QTest::newRow("6 semitones down") << -6 << "1.00" << std::pow(2.0, -6 / 12.0) << 0.0;
    QTest::newRow("twice as fast") << 0 << "2.00" << 0.0 << 0.52;
    // Below eSpeak's floor: read at 80 words per minute, about 2.1 times as long.
    QTest::newRow("0.25 is read at the floor") << 0 << "0.25" << 0.0 << 2.1;
}

// Within 15 % of the asked change; a semitone is a factor of 2^(1/12).
void TestOfflineEngine::prosodyMovesTheVoice() {
    QFETCH(int, semitones);
    QFETCH(QString, rate);
    QFETCH(double, pitchRatio);
    QFETCH(double, lengthRatio);
    OfflineSpeechEngine engine;
    const QString text = QStringLiteral("Many men and women were moving along the long road.");
    const OfflinePcm normal = pcmOf(engine, english(text, false)).pcm;
    const OfflinePcm moved = pcmOf(engine, english(text, false, semitones, rate)).pcm;
    QVERIFY(normal.seconds() > 1 && moved.seconds() > 0.5);
    const double f0 =
        medianF0(moved.samples, moved.sampleRate) / medianF0(normal.samples, normal.sampleRate);
    if (pitchRatio > 0)
        QVERIFY2(qAbs(f0 / pitchRatio - 1) < 0.15, qPrintable(QString::number(f0)));
    const double length = moved.seconds() / normal.seconds();
    if (lengthRatio > 0)
        QVERIFY2(qAbs(length / lengthRatio - 1) < 0.15, qPrintable(QString::number(length)));
}

// The five voices of one language have five different pitches.
void TestOfflineEngine::voiceLettersSoundDifferent() {
    OfflineSpeechEngine engine;
    QList<double> f0s;
    for (const QChar letter : QStringLiteral("ABCDE")) {
        const PcmResult r = pcmOf(engine, request("Goedendag, hoe gaat het met je?", false, "nl-NL",
                                                  QString("nl-NL-Standard-") + letter));
        QVERIFY(r.error.isEmpty());
        const double f0 = medianF0(r.pcm.samples, r.pcm.sampleRate);
        for (const double other : f0s)
            QVERIFY2(
                qAbs(f0 / other - 1) > 0.05,
                qPrintable(QStringLiteral("%1: %2 Hz vs %3 Hz").arg(letter).arg(f0).arg(other)));
        f0s << f0;
    }
}

// Documents the editor can assemble, with every effect and value, all convert.
void TestOfflineEngine::assembledDocumentsConvert() {
    const QString text = "On 10-09-1960 at 2:05 PM the 3rd of 3/4 said damn. Wait" + glyph +
                         "now & <then> it's \"ok\".";
    QList<SSMLCharactersModel> pool;
    for (const EffectKind &kind : EffectKind::all()) {
        QStringList values;
        for (const EffectOption &option : kind.options)
            values << option.value;
        if (values.isEmpty())
            values << "2"
                   << "a & b" << QString();
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
            const bool isBreak = s.effects == QLatin1String("Break");
            s.location = isBreak ? text.indexOf(glyph) : qMin(a, b);
            s.length = isBreak ? 1 : qAbs(a - b);
            spans << s;
        }
        const QString ssml = assembleSsml(text, spans);
        const Mp3Result result = mp3Of(engine, english(ssml));
        QVERIFY2(result.error.isEmpty(), qPrintable(result.error + " for " + ssml));
        verifyMp3(result.mp3, 1.0, 30.0);
    }
}

void TestOfflineEngine::completionComesLaterAndOnce_data() {
    QTest::addColumn<QJsonObject>("request");
    QTest::addColumn<QString>("error"); // its start; empty: an MP3 comes
    QTest::newRow("speech") << english("Hi", false) << QString();
    QTest::newRow("unreadable SSML")
        << english("<speak><emphasis>a</speak>") << "The SSML could not be read";
    QTest::newRow("nothing to speak")
        << QJsonObject() << "The request has no text or SSML to speak.";
}

void TestOfflineEngine::completionComesLaterAndOnce() {
    QFETCH(QJsonObject, request);
    QFETCH(QString, error);
    OfflineSpeechEngine engine;
    int calls = 0;
    Mp3Result result;
    engine.synthesize(request, [&](const QByteArray &mp3, const SpeechError &error) {
        ++calls;
        result = {true, mp3, error.message};
    });
    QCOMPARE(calls, 0);
    QTRY_COMPARE(calls, 1);
    // A second report of the first request would be delivered before the
    // result of a request made after it.
    QVERIFY(mp3Of(engine, english("Later.", false)).arrived);
    QCOMPARE(calls, 1);
    QCOMPARE(result.mp3.isEmpty(), !error.isEmpty());
    QVERIFY2(result.error.startsWith(error) && result.error.isEmpty() == error.isEmpty(),
             qPrintable(result.error));
}

// Several engines, several requests at once: each result belongs to its request.
void TestOfflineEngine::requestsQueueWithoutMixing() {
    OfflineSpeechEngine first;
    OfflineSpeechEngine second;
    const QStringList texts{"One.", "One two three four five six seven eight nine ten.",
                            "One two three."};
    QVector<double> seconds(texts.size(), -1);
    for (int i = 0; i < texts.size(); ++i) {
        OfflineSpeechEngine &engine = i % 2 ? second : first;
        engine.synthesize(english(texts.at(i), false),
                          [&seconds, i](const QByteArray &mp3, const SpeechError &) {
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
                          [&called](const QByteArray &, const SpeechError &) { called = true; });
    }
    // The next engine's request runs after the abandoned one and still works.
    OfflineSpeechEngine engine;
    QVERIFY(mp3Of(engine, english("Still here.", false)).error.isEmpty());
    QVERIFY(!called);
}

QTEST_GUILESS_MAIN(TestOfflineEngine)
#include "tst_offlineengine.moc"
