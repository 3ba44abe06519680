#include "GoldenData.h"
#include "RandomDocuments.h"
#include "XmlContent.h"
#include "synthesis/RequestSplitter.h"
#include "synthesis/SsmlAssembly.h"
#include "synthesis/SynthesisRequest.h"

#include <QJsonObject>
#include <QTest>
#include <QTextBoundaryFinder>

using namespace parlino;

namespace {

const QString standardVoice = QStringLiteral("en-GB-Standard-A");
const QString plainVoice = QStringLiteral("en-US-Chirp3-HD-Aoede");

// The input string a request for this text and spans carries.
QString requestInput(const QString &text, const EffectsArray &spans, const QString &voice) {
    const QJsonObject input =
        SynthesisRequest::body(text, assembleSsml(text, spans), voice, 0, 100)["input"].toObject();
    return input.contains("ssml") ? input["ssml"].toString() : input["text"].toString();
}

bool isSsml(const QString &input) {
    return input.startsWith("<speak>");
}

// What the parts must keep whatever the document: they join to the whole,
// each fits (unless it is one character), parses, cuts no character or word,
// and holds only spans of the whole, clipped, with their values.
void checkParts(const QString &text, const EffectsArray &spans, const QString &voice, qint64 limit,
                const QList<ConversionPart> &parts) {
    QString joined, characters;
    int previousStart = 0;
    QTextBoundaryFinder words(QTextBoundaryFinder::Word, text);
    for (const ConversionPart &part : parts) {
        QCOMPARE(part.start, int(joined.size()));

        QCOMPARE(part.text, text.mid(part.start, part.end - part.start));
        joined += part.text;
        const QString input = requestInput(part.text, part.spans, voice);
        QVERIFY2(limit <= 0 || input.toUtf8().size() <= limit || part.text.size() == 1,
                 qPrintable(input));
        const XmlContent content = XmlContent::of(input);
        QVERIFY2(!isSsml(input) || content.error.isEmpty(), qPrintable(content.error));
        characters += isSsml(input) ? content.characters : input;
        for (const SSMLCharactersModel &s : part.spans) {
            const qint64 from = part.start + s.location, to = from + s.length;
            const bool fromWhole = std::any_of(spans.begin(), spans.end(), [&](const auto &w) {
                return w.effects == s.effects && w.ssmlTag == s.ssmlTag && w.location <= from &&
                       w.end() >= to;
            });
            const bool ownPause = s.effects == "Break" && text.mid(from, 1) == QChar(pauseGlyph);
            QVERIFY2(fromWhole || ownPause, qPrintable(s.effects + " " + s.ssmlTag));
        }
        if (part.start > 0) {
            words.setPosition(part.start);
            const bool wordCut = !words.isAtBoundary();
            // Only a word longer than a whole part is cut.
            QVERIFY2(!wordCut || words.toPreviousBoundary() <= previousStart,
                     qPrintable(part.text));
        }
        previousStart = part.start;
    }
    QCOMPARE(joined, text);
    // Every pause keeps its length: the parts read as the whole does.
    const QString whole = requestInput(text, spans, voice);
    if (isSsml(whole))
        QCOMPARE(characters, XmlContent::of(whole).characters);
    else
        QCOMPARE(characters.remove(QChar(pauseGlyph)), QString(whole).remove(QChar(pauseGlyph)));
}

// "Kind,value,start,end;..." as spans.
EffectsArray spansOf(const QString &written) {
    EffectsArray spans;
    for (const QString &one : written.split(u';', Qt::SkipEmptyParts)) {
        const QStringList f = one.split(u',');
        spans << span(f.at(2).toLongLong(), f.at(3).toLongLong(), f.at(0), f.at(1));
    }
    return spans;
}

} // namespace

class TestRequestSplitter : public QObject {
    Q_OBJECT
private slots:
    void split_data();
    void split();
    void randomDocuments();
    void longDocumentWithCrossingEffects();
};

// tests/data/synthesis/split.tsv: name, text, spans, voice, byte limit, and
// the inputs of the parts the document becomes, joined by " | ".
void TestRequestSplitter::split_data() {
    QTest::addColumn<QStringList>("row");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/synthesis/split.tsv"))
        QTest::newRow(qPrintable(row.at(0))) << row;
}

void TestRequestSplitter::split() {
    QFETCH(QStringList, row);
    const QString text = QString(row.at(1)).replace("\\n", "\n");
    const QString voice = row.at(3) == "plain" ? plainVoice : standardVoice;
    const auto parts = RequestSplitter::split(text, spansOf(row.at(2)), voice, row.at(4).toInt());
    QStringList inputs;
    for (const ConversionPart &part : parts)
        inputs << requestInput(part.text, part.spans, voice).replace("\n", "\\n");
    QCOMPARE(inputs.join(" | "), row.at(5));
    checkParts(text, spansOf(row.at(2)), voice, row.at(4).toInt(), parts);
}

void TestRequestSplitter::randomDocuments() {
    const QStringList pieces{"Word ",    "the ",        "end. ",          "Да! ", "нет ",
                             "日本語。", "\U0001F600 ", "a&b ",           "<x> ", "\n",
                             "\n\n",     "‘q’ ",        QChar(pauseGlyph)};
    const QStringList kinds{"Emphasis", "Say as", "Volume", "Sub", "Break", "Break"};
    const QStringList values{"strong", "2", "0.5", "it's", "x<y"};
    QRandomGenerator random(20261207);
    for (int round = 0; round < 1500; ++round) {
        const RandomDocument d = RandomDocument::make(random, pieces, kinds, values);
        const QString voice = round % 4 ? standardVoice : plainVoice;
        const qint64 limit = random.bounded(200, 500);
        checkParts(d.text, d.spans, voice, limit,
                   RequestSplitter::split(d.text, d.spans, voice, limit));
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QString("round %1, limit %2: %3").arg(round).arg(limit).arg(d.text)));
    }
}

// Sixty thousand characters of paragraphs in three scripts with effects every
// few hundred characters, each over several hundred: every cut crosses some.
void TestRequestSplitter::longDocumentWithCrossingEffects() {
    const QStringList sentences{"The quick brown fox jumps over the lazy dog. ",
                                "Съешь же ещё этих мягких булок. ", "今日は良い天気です。",
                                "Pause here \u23F8 and go on. "};
    QString text;
    EffectsArray spans;
    for (int i = 0; text.size() < 60000; ++i) {
        if (i % 40 == 39)
            text += "\n";
        if (i % 5 == 0)
            spans << span(text.size(), text.size() + 700, i % 10 ? "Emphasis" : "Volume",
                          i % 10 ? "strong" : "loud");
        if (i % 8 == 3) // every other pause has its own length
            spans << span(text.size() + 11, text.size() + 12, "Break", "1.5");
        text += sentences.at(i % 4);
    }
    for (SSMLCharactersModel &s : spans)
        s.length = qMin(s.end(), qint64(text.size())) - s.location;
    const QList<ConversionPart> parts = RequestSplitter::split(text, spans, standardVoice, 5000);
    checkParts(text, spans, standardVoice, 5000, parts);
    // Few requests: all but the last at least two-thirds full.
    for (const ConversionPart &part : parts.first(parts.size() - 1))
        QVERIFY(RequestSplitter::inputBytes(part.text, part.spans, standardVoice) > 3300);
}

QTEST_GUILESS_MAIN(TestRequestSplitter)
#include "tst_requestsplitter.moc"
