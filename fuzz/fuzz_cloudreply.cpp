// Fuzzes the reading of a cloud reply: any body under any content type, as
// the client accepts or refuses it and the engine takes its audio. The audio
// is never larger than its base64 text allows, and a refused reply gives no
// audio.

#include "synthesis/SynthesisRequest.h"
#include "synthesis/cloud/NetAPIClicnet.h"

#include <QJsonObject>

#include <QLoggingCategory>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace parlino;

namespace {

void fail(const char *what) {
    std::fprintf(stderr, "fuzz_cloudreply: %s\n", what);
    std::abort();
}

} // namespace

// The debug log would report every input; only a failed check is of interest.
extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    QLoggingCategory::setFilterRules(QStringLiteral("parlino.*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // Two bytes of status, then the content type up to a newline, then the body.
    if (size < 2)
        return 0;
    const int status = 100 + (data[0] | (data[1] << 8)) % 500;
    const QByteArray input(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));
    const qsizetype newline = input.indexOf('\n');
    const QByteArray contentType = newline < 0 ? QByteArray() : input.left(newline);
    const QByteArray body = newline < 0 ? input : input.mid(newline + 1);

    const NetAPIClicnet::Reading reading = NetAPIClicnet::readReply(status, contentType, body);
    const bool success = status >= 200 && status <= 299;
    if (reading.error.isError() == (success && reading.error.kind != NetError::ContentType &&
                                    reading.error.kind != NetError::MalformedReply))
        fail("a reply accepted or refused against its status");
    if (reading.error.isError() && reading.error.message.isEmpty())
        fail("a refusal without a message");
    if (reading.error.isError() && !reading.data.isUndefined())
        fail("a refused reply with data");
    if (status >= 300 && status <= 399 && reading.error.kind != NetError::Redirected)
        fail("a redirect not refused as one");
    if (!reading.data.isObject())
        return 0;
    const QJsonObject reply = reading.data.toObject();
    const QByteArray audio = SynthesisRequest::audioContent(reply);
    const QJsonValue content = reply.value(QLatin1String("audioContent"));
    if (!content.isString() && !audio.isEmpty())
        fail("audio from a reply without audioContent text");
    if (audio.size() > (content.toString().size() + 3) / 4 * 3)
        fail("more audio than the base64 text can hold");
    return 0;
}
