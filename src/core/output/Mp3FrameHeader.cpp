#include "output/Mp3FrameHeader.h"

namespace parlino {

namespace {

constexpr quint32 syncMask = 0xFFE00000u;

// Kilobits per second by index, for MPEG-1 and for MPEG-2 and 2.5.
constexpr int bitrates1[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
constexpr int bitrates2[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};

int sampleRateOf(int versionBits, int rateIndex) {
    static constexpr int rates[3] = {44100, 48000, 32000};
    const int divisor = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 4;
    return rates[rateIndex] / divisor;
}

} // namespace

int Mp3FrameHeader::frameBytes() const {
    return samplesPerFrame() / 8 * bitrate / sampleRate + (padded ? 1 : 0);
}

int Mp3FrameHeader::sideInfoBytes() const {
    if (version == 1)
        return mono ? 17 : 32;
    return mono ? 9 : 17;
}

bool Mp3FrameHeader::sameFormat(const Mp3FrameHeader &other) const {
    return version == other.version && sampleRate == other.sampleRate && mono == other.mono;
}

std::optional<Mp3FrameHeader> Mp3FrameHeader::withBitrateIndex(int index) const {
    // Protection bit set (no CRC), padding cleared, the bitrate replaced.
    const quint32 changed = (bits & ~0x0000F200u) | 0x00010000u | quint32(index & 15) << 12;
    return parse(changed);
}

std::optional<Mp3FrameHeader> Mp3FrameHeader::read(QByteArrayView bytes) {
    if (bytes.size() < 4)
        return std::nullopt;
    const auto *d = reinterpret_cast<const uchar *>(bytes.data());
    return parse(quint32(d[0]) << 24 | quint32(d[1]) << 16 | quint32(d[2]) << 8 | d[3]);
}

std::optional<Mp3FrameHeader> Mp3FrameHeader::parse(quint32 bits) {
    const int versionBits = (bits >> 19) & 3;
    const int layerBits = (bits >> 17) & 3;
    const int bitrateIndex = (bits >> 12) & 15;
    const int rateIndex = (bits >> 10) & 3;
    if ((bits & syncMask) != syncMask || versionBits == 1 || layerBits != 1 || bitrateIndex == 0 ||
        bitrateIndex == 15 || rateIndex == 3 || (bits & 3) == 2)
        return std::nullopt;
    Mp3FrameHeader header;
    header.bits = bits;
    header.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    header.sampleRate = sampleRateOf(versionBits, rateIndex);
    header.bitrateIndex = bitrateIndex;
    header.bitrate = (header.version == 1 ? bitrates1 : bitrates2)[bitrateIndex] * 1000;
    header.padded = (bits >> 9) & 1;
    header.crc = !((bits >> 16) & 1);
    header.mono = ((bits >> 6) & 3) == 3;
    return header;
}

} // namespace parlino
