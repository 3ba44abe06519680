#include "output/Mp3InfoTag.h"

#include <QtEndian>

namespace parlino {

namespace {

enum Flag : quint32 { HasFrames = 1, HasBytes = 2, HasSeekTable = 4, HasQuality = 8 };

quint32 be32(QByteArrayView bytes, qsizetype at) {
    return qFromBigEndian<quint32>(bytes.data() + at);
}

} // namespace

std::optional<Mp3InfoTag> Mp3InfoTag::read(QByteArrayView frame, const Mp3FrameHeader &header) {
    const qsizetype length = qMin<qsizetype>(frame.size(), header.frameBytes());
    const qsizetype at = header.tagOffset();
    constexpr qsizetype vbriOffset = 4 + 32;
    if (length >= vbriOffset + 4 && frame.sliced(vbriOffset, 4) == "VBRI")
        return Mp3InfoTag{};
    if (length < at + 8)
        return std::nullopt;
    const QByteArrayView id = frame.sliced(at, 4);
    if (id != "Xing" && id != "Info")
        return std::nullopt;
    Mp3InfoTag tag;
    tag.vbr = id == "Xing";
    const quint32 flags = be32(frame, at + 4);
    qsizetype p = at + 8;
    const auto field = [&](Flag flag, qsizetype size) -> qint64 {
        if (!(flags & flag) || p + size > length)
            return -1;
        p += size;
        return size == 4 ? qint64(be32(frame, p - 4)) : 0;
    };
    tag.frames = field(HasFrames, 4);
    tag.bytes = field(HasBytes, 4);
    field(HasSeekTable, 100);
    field(HasQuality, 4);
    // LAME's extension: a nine-byte encoder name, then at 21 the delay and
    // padding as two twelve-bit numbers.
    if (p + 24 <= length && frame.sliced(p, 4) == "LAME") {
        const auto *d = reinterpret_cast<const uchar *>(frame.data()) + p + 21;
        tag.hasLame = true;
        tag.encoderDelay = d[0] << 4 | d[1] >> 4;
        tag.encoderPadding = (d[1] & 0x0F) << 8 | d[2];
    }
    return tag;
}

QByteArray Mp3InfoTag::frame(const Mp3FrameHeader &header, bool vbr, qint64 frames, qint64 bytes,
                             const std::array<quint8, 100> &seekTable) {
    QByteArray out(header.frameBytes(), '\0');
    char *d = out.data();
    qToBigEndian<quint32>(header.bits, d);
    char *tag = d + header.tagOffset();
    memcpy(tag, vbr ? "Xing" : "Info", 4);
    qToBigEndian<quint32>(HasFrames | HasBytes | HasSeekTable, tag + 4);
    qToBigEndian<quint32>(quint32(frames), tag + 8);
    qToBigEndian<quint32>(quint32(bytes), tag + 12);
    memcpy(tag + 16, seekTable.data(), seekTable.size());
    return out;
}

} // namespace parlino
