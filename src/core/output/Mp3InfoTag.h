#pragma once

#include "output/Mp3FrameHeader.h"

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <optional>

namespace parlino {

// The tag an encoder writes in place of audio in a stream's first frame:
// Xing/Info (frame count, byte count and seek table, so that players know
// the length), with LAME's encoder delay and padding after it when present.
// A Fraunhofer VBRI tag is recognised as a tag frame, its fields unread.
struct Mp3InfoTag {
    bool vbr = false;   // "Xing"; "Info" marks a constant bitrate
    qint64 frames = -1; // audio frames, the tag's own not counted
    qint64 bytes = -1;  // the stream's bytes from the tag's frame on
    bool hasLame = false;
    int encoderDelay = 0;
    int encoderPadding = 0;

    // "Xing"/"Info", flags, frames, bytes and the 100-entry seek table.
    static constexpr int writtenBytes = 120;

    // The tag in the frame at the start of the bytes, or nothing when that
    // frame carries audio.
    static std::optional<Mp3InfoTag> read(QByteArrayView frame, const Mp3FrameHeader &header);

    // A whole silent frame with this header holding the tag, its frames and
    // bytes, and the seek table (the byte position at each percent of the
    // length, in 256ths of the bytes).
    static QByteArray frame(const Mp3FrameHeader &header, bool vbr, qint64 frames, qint64 bytes,
                            const std::array<quint8, 100> &seekTable);
};

} // namespace parlino
