// Fuzzes SSML assembly: a text built from pieces (markup characters, pause
// glyphs, surrogates, quotes) with spans of every kind anywhere over it. With
// spans the result must be well-formed XML inside one speak element whose
// character data is the text without its pause glyphs (a sub element keeps
// its text; characters XML cannot carry are dropped on both sides).

#include "editing/EffectKind.h"
#include "synthesis/SsmlAssembly.h"

#include <QXmlStreamReader>

#include <fuzzer/FuzzedDataProvider.h>

#include <QLoggingCategory>

#include <cstdio>
#include <cstdlib>

using namespace parlino;

namespace {

void fail(const char *what, const QString &ssml) {
    std::fprintf(stderr, "fuzz_ssmlassembly: %s\n%s\n", what, qUtf8Printable(ssml));
    std::abort();
}

QString makeText(FuzzedDataProvider &data) {
    static const QStringList pieces{"a", " ",  "<",  ">", "&",   "'",    "\"",   "\u23F8",
                                    "😀", "\r", "\n", "é", "]]>", "\x01", "word", "\uFFFE"};
    QString text;
    const int count = data.ConsumeIntegralInRange<int>(1, 40);
    for (int i = 0; i < count; ++i) {
        if (data.ConsumeIntegralInRange<int>(0, 15) == 0)
            text += QChar(char16_t(data.ConsumeIntegral<uint16_t>())); // lone surrogates too
        else
            text += pieces.at(data.ConsumeIntegralInRange<qsizetype>(0, pieces.size() - 1));
    }
    return text;
}

EffectsArray makeSpans(FuzzedDataProvider &data, qsizetype textSize) {
    static const QStringList names{"Emphasis", "Say as", "Volume", "Date",
                                   "Time",     "Sub",    "Break",  "Nonsense"};
    static const QStringList values{"strong", "2", "0.5", "dmy", "a'b", "<x>&", "", "100000"};
    EffectsArray spans;
    const int count = data.ConsumeIntegralInRange<int>(1, 8);
    for (int i = 0; i < count; ++i) {
        SSMLCharactersModel span;
        span.location = data.ConsumeIntegralInRange<qint64>(-1, textSize);
        span.length = data.ConsumeIntegralInRange<qint64>(-1, textSize + 1);
        span.effects = names.at(data.ConsumeIntegralInRange<qsizetype>(0, names.size() - 1));
        span.ssmlTag = values.at(data.ConsumeIntegralInRange<qsizetype>(0, values.size() - 1));
        spans.append(span);
    }
    return spans;
}

// The characters XML can carry, as the assembly keeps them.
QString carried(const QString &text) {
    QString kept;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            kept += c;
            kept += text.at(++i);
        } else if (c == u'\t' || c == u'\n' || c == u'\r' ||
                   (c >= u' ' && !c.isSurrogate() && c != QChar(0xFFFE) && c != QChar(0xFFFF))) {
            kept += c;
        }
    }
    return kept;
}

} // namespace

// The debug log would report every input; only a failed check is of interest.
extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    QLoggingCategory::setFilterRules(QStringLiteral("parlino.*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider provider(data, size);
    const QString text = makeText(provider);
    const EffectsArray spans = makeSpans(provider, text.size());
    const QString ssml = assembleSsml(text, spans);

    QXmlStreamReader reader(ssml);
    QString characters;
    int depth = 0;
    int roots = 0;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && depth++ == 0)
            ++roots;
        else if (token == QXmlStreamReader::EndElement)
            --depth;
        else if (token == QXmlStreamReader::Characters)
            characters += reader.text();
    }
    if (reader.hasError())
        fail(qPrintable(reader.errorString()), ssml);
    if (roots != 1 || !ssml.startsWith(QLatin1String("<speak>")))
        fail("not one speak element", ssml);
    QString expected = carried(text);
    expected.remove(QChar(pauseGlyph));
    characters.remove(QChar(pauseGlyph)); // a glyph stays when no Break span gives it a length
    if (characters != expected)
        fail("the character data is not the text", ssml);
    return 0;
}
