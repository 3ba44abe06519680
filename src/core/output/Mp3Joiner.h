#pragma once

#include "output/Mp3FrameHeader.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

class QIODevice;

namespace parlino {

// Joins MP3 streams (MPEG-1/2/2.5 Layer III, all of one sample rate and
// channel mode) into one file on a seekable device as they come: each
// stream's ID3v2, ID3v1 and APE tags and its Xing/Info/LAME frame are
// dropped, its audio frames appended in order, and finish() writes one
// Xing/Info frame for the whole (frame count, byte count, seek table) at the
// start, so players show the right duration.
class Mp3Joiner {
public:
    explicit Mp3Joiner(QIODevice *out); // not owned; open for writing, seekable

    // Appends one stream. False, with the reason, when the bytes do not
    // start with an MP3 frame or ID3 tag, hold no audio frame, differ from
    // the first stream's format, or cannot be written.
    bool append(const QByteArray &mp3, QString *error);
    // Writes the header frame; the device then holds the whole file.
    bool finish(QString *error);

    // The length of the streams appended so far, and of the last one.
    double seconds() const;
    double lastSeconds() const;

    // True when the bytes start with an MP3 frame or an ID3v2 tag.
    static bool looksLikeMp3(const QByteArray &bytes);

private:
    bool writeFrame(QByteArrayView frame, const Mp3FrameHeader &header, QString *error);
    bool writeTagFrame(const Mp3FrameHeader &format, QString *error);
    void addSeekPoint();

    QIODevice *m_out;
    std::optional<Mp3FrameHeader> m_format;    // the first audio frame's
    std::optional<Mp3FrameHeader> m_tagHeader; // of the Xing/Info frame
    qint64 m_tagPosition = -1;                 // on the device
    qint64 m_bytes = 0;                        // written from the tag frame on
    qint64 m_frames = 0;
    qint64 m_lastFrames = 0;
    bool m_vbr = false;
    // The byte position of every m_seekStride-th frame, thinned as the
    // frames grow so that memory stays bounded whatever the length.
    std::vector<qint64> m_seekPoints;
    qint64 m_seekStride = 1;
};

} // namespace parlino
