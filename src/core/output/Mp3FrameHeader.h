#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <optional>

namespace parlino {

// The four-byte header of an MPEG-1, 2 or 2.5 Layer III audio frame: the
// stream's format and the frame's length.
struct Mp3FrameHeader {
    quint32 bits = 0;
    int version = 1; // 1, 2, or 25 for MPEG 2.5
    int sampleRate = 0;
    int bitrateIndex = 0;
    int bitrate = 0; // bits per second
    bool padded = false;
    bool crc = false;
    bool mono = false;

    int samplesPerFrame() const { return version == 1 ? 1152 : 576; }
    int frameBytes() const;
    int sideInfoBytes() const;
    // Where a Xing/Info tag starts in a frame with this header.
    int tagOffset() const { return 4 + (crc ? 2 : 0) + sideInfoBytes(); }
    double seconds() const { return double(samplesPerFrame()) / sampleRate; }
    // Same version, sample rate and channel count.
    bool sameFormat(const Mp3FrameHeader &other) const;
    // This header with another bitrate, no padding and no CRC.
    std::optional<Mp3FrameHeader> withBitrateIndex(int index) const;

    // The header at the start of the bytes, when it is a valid Layer III one
    // (a sync, no reserved field, not free format).
    static std::optional<Mp3FrameHeader> read(QByteArrayView bytes);
    static std::optional<Mp3FrameHeader> parse(quint32 bits);
};

} // namespace parlino
