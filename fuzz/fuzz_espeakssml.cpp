// Fuzzes the eSpeak SSML translator with any SSML (or plain text), in a few
// languages: it must not crash, and every pause it writes, and the silence it
// asks for before the first word, must lie within the pause cap.

#include "synthesis/offline/EspeakSsmlTranslator.h"

#include <QRegularExpression>

#include <QLoggingCategory>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace parlino;

namespace {

void fail(const char *what, const QString &ssml) {
    std::fprintf(stderr, "fuzz_espeakssml: %s\n%s\n", what, qUtf8Printable(ssml.left(4000)));
    std::abort();
}

} // namespace

// The debug log would report every input; only a failed check is of interest.
extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    QLoggingCategory::setFilterRules(QStringLiteral("parlino.*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0;
    static const QStringList languages{"en-US", "de-DE", "fr-FR", "ja-JP", "es-ES", "xx"};
    const QString language = languages.at(data[0] % languages.size());
    const bool isSsml = data[0] & 0x80;
    const QString input =
        QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const EspeakDocument document = EspeakSsmlTranslator::translate(input, isSsml, language);
    if (!document.isValid())
        return 0;
    if (document.leadingSilenceMs < 0 ||
        document.leadingSilenceMs > EspeakSsmlTranslator::maxBreakMs)
        fail("leading silence outside the cap", document.ssml);
    static const QRegularExpression pause(QStringLiteral("<break time=\"(-?\\d+)ms\"/>"));
    for (auto it = pause.globalMatch(document.ssml); it.hasNext();) {
        const qint64 ms = it.next().captured(1).toLongLong();
        if (ms < 0 || ms > EspeakSsmlTranslator::maxBreakMs)
            fail("a pause outside the cap", document.ssml);
    }
    return 0;
}
