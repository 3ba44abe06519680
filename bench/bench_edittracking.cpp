// The cost of tracking one keystroke over 1,000 spans in a 5,000-unit text,
// beside the cost of the same keystroke in a QTextDocument, measured in the
// same run. Prints "ratio tracking/qtextdocument = X" at the end, against a
// bare document and against one laid out as the editor lays it out.

#include "document/ParlinoDocument.h"
#include "editing/EditTracker.h"
#include "editing/EditorSession.h"

#include <QApplication>
#include <QPlainTextDocumentLayout>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

using namespace parlino;

namespace {

constexpr qint64 textLength = 5000;
constexpr qint64 spanCount = 1000;
constexpr qint64 keystrokeAt = 2501; // inside a span in the middle of the text

// Words and spaces in paragraphs of about 300 units, 5,000 units in all.
QString sampleText() {
    static const QStringList words{"speech", "editor",  "the",   "voice", "reads", "a",
                                   "pause",  "between", "words", "and",   "dates"};
    QString text;
    for (qsizetype i = 0; text.size() < textLength; ++i) {
        text += words.at(i % words.size());
        text += (i % 45 == 44) ? u'\n' : u' ';
    }
    text.truncate(textLength);
    return text;
}

// Three units marked in every five: [0,3), [5,8), ...
EffectsArray sampleSpans() {
    EffectsArray spans;
    for (qint64 i = 0; i < spanCount; ++i) {
        SSMLCharactersModel span;
        span.location = i * 5;
        span.length = 3;
        span.effects = QStringLiteral("Emphasis");
        span.color = QColor(0xEB, 0xDA, 0xF2);
        span.ssmlTag = QStringLiteral("strong");
        spans.append(span);
    }
    return spans;
}

// Alternately types a character and takes it back with Backspace, so that the
// text and the spans stay the same size over the whole run.
void tracking(benchmark::State &state) {
    const QString before = sampleText();
    QString after = before;
    after.insert(keystrokeAt, u'a');
    EffectsArray spans = sampleSpans();
    bool typed = false;
    for (auto _ : state) {
        const TextEdit edit = typed ? TextEdit{keystrokeAt, 1, 0} : TextEdit{keystrokeAt, 0, 1};
        const EditTrackingResult result = EditTracker::track(spans, edit, typed ? before : after);
        benchmark::DoNotOptimize(result);
        typed = !typed;
    }
    if (spans.size() != spanCount)
        state.SkipWithError("spans were lost");
}

// A typed key through the editor session, which also keeps the span list of
// before and after the key for undo, followed by its undo (so the history
// stays one step long): what a keystroke costs in the editor, undo included.
void session_type_and_undo(benchmark::State &state) {
    ParlinoDocument document;
    document.text = sampleText();
    document.effects = sampleSpans();
    EditorSession session;
    session.loadDocument(document);
    QString after = document.text;
    after.insert(keystrokeAt, u'a');
    for (auto _ : state) {
        session.trackEdit({keystrokeAt, 0, 1}, after, true);
        session.undo();
    }
    if (session.effectsArray() != document.effects || session.text() != document.text)
        state.SkipWithError("undo did not restore the text and its spans");
}

// The same keystrokes through QTextCursor. With `laidOut` the document has the
// layout QPlainTextEdit gives it, 800 px wide, so every keystroke also lays out
// its paragraph again, as it does in the editor.
void typeIntoDocument(benchmark::State &state, bool laidOut) {
    QTextDocument document;
    if (laidOut) {
        document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
        document.setTextWidth(800);
    }
    document.setPlainText(sampleText());
    QTextCursor cursor(&document);
    cursor.setPosition(keystrokeAt);
    bool typed = false;
    for (auto _ : state) {
        if (typed)
            cursor.deletePreviousChar();
        else
            cursor.insertText(QStringLiteral("a"));
        typed = !typed;
    }
    benchmark::DoNotOptimize(document.characterCount());
}

void qtextdocument(benchmark::State &state) {
    typeIntoDocument(state, false);
}

void qtextdocument_laid_out(benchmark::State &state) {
    typeIntoDocument(state, true);
}

// The statistics label alone, the part of tracking that reads the whole text.
void statistics_only(benchmark::State &state) {
    const QString text = sampleText();
    for (auto _ : state)
        benchmark::DoNotOptimize(EditTracker::statistics(text));
}

BENCHMARK(tracking);
BENCHMARK(statistics_only);
BENCHMARK(session_type_and_undo);
BENCHMARK(qtextdocument);
BENCHMARK(qtextdocument_laid_out);
// Console output as usual, and the CPU times kept for the ratios (the machine
// may be busy with other work); with repetitions the medians are used.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
                m_times[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void printRatios() const {
        printRatio("qtextdocument", "bare document, no layout");
        printRatio("qtextdocument_laid_out", "document laid out as in QPlainTextEdit");
        printRatio("qtextdocument_laid_out",
                   "a typed key and its undo in the session, beside a "
                   "key in the laid-out document",
                   "session_type_and_undo");
    }

private:
    void printRatio(const std::string &qtName, const char *what,
                    const std::string &ours = "tracking") const {
        const auto tracked = m_times.find(ours);
        const auto qt = m_times.find(qtName);
        if (tracked != m_times.end() && qt != m_times.end() && qt->second > 0)
            std::printf("ratio %s/%s = %.3f (%s)\n", ours.c_str(), qtName.c_str(),
                        tracked->second / qt->second, what);
    }

    std::map<std::string, double> m_times;
};

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // the layout needs fonts, not a display
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reporter.printRatios();
    return 0;
}
