// Fuzzes the document reader: any bytes, read as plain text or as a JSON
// document. An accepted document keeps every span inside its text, and its
// JSON form reads back to the same document.

#include "document/ParlinoDocument.h"

#include <QLoggingCategory>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace parlino;

namespace {

void fail(const char *what) {
    std::fprintf(stderr, "fuzz_document: %s\n", what);
    std::abort();
}

void check(const ParlinoDocument &document) {
    for (const SSMLCharactersModel &span : document.effects) {
        if (span.location < 0 || span.length < 0 || span.end() > document.text.size())
            fail("a span lies outside the text");
    }
    QString error;
    const auto again = ParlinoDocument::fromBytes(document.toJson(), true, &error);
    if (!again)
        fail("the document's own JSON form is refused");
    if (again->text != document.text || again->effects != document.effects ||
        again->voice != document.voice || again->pitch != document.pitch ||
        again->speed != document.speed)
        fail("the JSON form reads back differently");
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
    const bool json = data[0] & 1;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    QString error;
    const auto document = ParlinoDocument::fromBytes(bytes, json, &error);
    if (document)
        check(*document);
    else if (error.isEmpty())
        fail("a refusal without a reason");
    return 0;
}
