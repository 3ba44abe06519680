#include "output/Mp3Joiner.h"

#include "output/Mp3InfoTag.h"

#include <QIODevice>
#include <QtEndian>

#include <array>
#include <utility>

namespace parlino {

namespace {

constexpr std::size_t maxSeekPoints = 2048;

// Where the audio starts: after any ID3v2 tags (ten-byte header, a size in
// seven-bit bytes, and ten more bytes when the footer flag is set).
qsizetype afterId3v2(QByteArrayView bytes) {
    qsizetype at = 0;
    while (bytes.size() - at >= 10 && bytes.sliced(at, 3) == "ID3") {
        const auto *h = reinterpret_cast<const uchar *>(bytes.data()) + at;
        if (h[3] == 0xFF || h[4] == 0xFF || ((h[6] | h[7] | h[8] | h[9]) & 0x80))
            break;
        const qsizetype size = qsizetype(h[6]) << 21 | h[7] << 14 | h[8] << 7 | h[9];
        at += 10 + size + ((h[5] & 0x10) ? 10 : 0);
    }
    return qMin(at, bytes.size());
}

// Where the audio ends: before an ID3v1 tag ("TAG", 128 bytes) and an APE
// tag (a 32-byte footer "APETAGEX" giving its size, and a header when flagged).
qsizetype beforeEndTags(QByteArrayView bytes, qsizetype begin) {
    qsizetype end = bytes.size();
    if (end - begin >= 128 && bytes.sliced(end - 128, 3) == "TAG")
        end -= 128;
    if (end - begin >= 32 && bytes.sliced(end - 32, 8) == "APETAGEX") {
        const char *footer = bytes.data() + end - 32;
        const qint64 size = qFromLittleEndian<quint32>(footer + 12);
        const bool hasHeader = qFromLittleEndian<quint32>(footer + 20) & 0x80000000u;
        end = qMax<qint64>(begin, end - size - (hasHeader ? 32 : 0));
    }
    return end;
}

// A frame of the format at `at` that fits before end and is followed by
// another one or by the end, so that a stray sync in garbage is not taken.
std::optional<Mp3FrameHeader> frameAt(QByteArrayView bytes, qsizetype at, qsizetype end,
                                      const std::optional<Mp3FrameHeader> &format) {
    const auto header = Mp3FrameHeader::read(bytes.sliced(at, qMax<qsizetype>(0, end - at)));
    if (!header || (format && !header->sameFormat(*format)) || at + header->frameBytes() > end)
        return std::nullopt;
    const qsizetype next = at + header->frameBytes();
    if (next == end || next + 4 > end)
        return header;
    const auto following = Mp3FrameHeader::read(bytes.sliced(next, 4));
    return following && following->sameFormat(*header) ? header : std::nullopt;
}

// The first frame at or after `from`, skipping what is not one.
qsizetype nextFrame(QByteArrayView bytes, qsizetype from, qsizetype end,
                    const std::optional<Mp3FrameHeader> &format) {
    for (qsizetype at = from; at + 4 <= end; ++at) {
        if (uchar(bytes[at]) == 0xFF && frameAt(bytes, at, end, format))
            return at;
    }
    return -1;
}

} // namespace

Mp3Joiner::Mp3Joiner(QIODevice *out)
    : m_out(out) {}

bool Mp3Joiner::append(const QByteArray &mp3, QString *error) {
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (!looksLikeMp3(mp3))
        return fail(QStringLiteral("The audio does not start with an MP3 frame or ID3 tag"));
    const QByteArrayView bytes(mp3);
    const qsizetype begin = afterId3v2(bytes);
    const qsizetype end = beforeEndTags(bytes, begin);
    std::optional<Mp3FrameHeader> streamFormat;
    qint64 frames = 0;
    bool firstFrame = true;
    for (qsizetype at = nextFrame(bytes, begin, end, std::nullopt); at >= 0;) {
        const auto header = frameAt(bytes, at, end, streamFormat);
        if (!header) {
            at = nextFrame(bytes, at + 1, end, streamFormat);
            continue;
        }
        const QByteArrayView frame = bytes.sliced(at, header->frameBytes());
        at += frame.size();
        if (std::exchange(firstFrame, false) && Mp3InfoTag::read(frame, *header))
            continue;
        if (!streamFormat) {
            streamFormat = header;
            if (m_format && !header->sameFormat(*m_format))
                return fail(QStringLiteral("The audio's format differs from the first part's"));
        }
        if (!writeFrame(frame, *header, error))
            return false;
        ++frames;
    }
    if (frames == 0)
        return fail(QStringLiteral("The audio holds no MP3 frame"));
    m_lastFrames = frames;
    return true;
}

bool Mp3Joiner::writeFrame(QByteArrayView frame, const Mp3FrameHeader &header, QString *error) {
    if (!m_format) {
        m_format = header;
        if (!writeTagFrame(header, error))
            return false;
    }
    if (m_out->write(frame.data(), frame.size()) != frame.size()) {
        if (error)
            *error = m_out->errorString();
        return false;
    }
    m_vbr = m_vbr || header.bitrateIndex != m_format->bitrateIndex;
    addSeekPoint();
    m_bytes += frame.size();
    ++m_frames;
    return true;
}

// Keeps the room for the Xing/Info frame, the smallest of the format that
// holds the tag with its seek table; finish() fills it in.
bool Mp3Joiner::writeTagFrame(const Mp3FrameHeader &format, QString *error) {
    for (int index = 1; index < 15 && !m_tagHeader; ++index) {
        const auto candidate = format.withBitrateIndex(index);
        if (candidate &&
            candidate->frameBytes() >= candidate->tagOffset() + Mp3InfoTag::writtenBytes)
            m_tagHeader = candidate;
    }
    m_tagPosition = m_out->pos();
    const QByteArray frame = Mp3InfoTag::frame(*m_tagHeader, false, 0, 0, {});
    if (m_out->write(frame) != frame.size()) {
        if (error)
            *error = m_out->errorString();
        return false;
    }
    m_bytes = frame.size();
    return true;
}

void Mp3Joiner::addSeekPoint() {
    if (m_frames % m_seekStride != 0)
        return;
    m_seekPoints.push_back(m_bytes);
    if (m_seekPoints.size() <= maxSeekPoints)
        return;
    for (std::size_t i = 0; 2 * i < m_seekPoints.size(); ++i)
        m_seekPoints[i] = m_seekPoints[2 * i];
    m_seekPoints.resize((m_seekPoints.size() + 1) / 2);
    m_seekStride *= 2;
}

bool Mp3Joiner::finish(QString *error) {
    if (!m_tagHeader) {
        if (error)
            *error = QStringLiteral("No audio to write");
        return false;
    }
    std::array<quint8, 100> seekTable{};
    for (std::size_t percent = 0; percent < seekTable.size(); ++percent) {
        const qint64 frame = m_frames * qint64(percent) / 100;
        const qint64 position = m_seekPoints[std::size_t(frame / m_seekStride)];
        seekTable[percent] = quint8(qMin<qint64>(255, position * 256 / m_bytes));
    }
    const QByteArray frame = Mp3InfoTag::frame(*m_tagHeader, m_vbr, m_frames, m_bytes, seekTable);
    const qint64 end = m_out->pos();
    if (!m_out->seek(m_tagPosition) || m_out->write(frame) != frame.size() || !m_out->seek(end)) {
        if (error)
            *error = m_out->errorString();
        return false;
    }
    return true;
}

double Mp3Joiner::seconds() const {
    return m_format ? double(m_frames) * m_format->seconds() : 0.0;
}

double Mp3Joiner::lastSeconds() const {
    return m_format ? double(m_lastFrames) * m_format->seconds() : 0.0;
}

bool Mp3Joiner::looksLikeMp3(const QByteArray &bytes) {
    return bytes.startsWith("ID3") || Mp3FrameHeader::read(bytes).has_value();
}

} // namespace parlino
