#pragma once

#include <QByteArray>
#include <QString>

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
};

} // namespace parlino
