#pragma once

#include "output/Mp3FrameHeader.h"
#include "output/Mp3InfoTag.h"

#include <QByteArray>
#include <QString>

namespace parlino {

// Test helper: reads an MP3 file frame by frame (MPEG-1/2/2.5 Layer III) and
// its Xing/Info and LAME tags, to check that a file is whole and to learn its
// exact length without a decoder.
struct Mp3Frames {
    bool valid = false;
    QString problem;
    int sampleRate = 0;
    bool mono = false;
    int mpegVersion = 0; // 1 or 2 (MPEG 2.5 counted as 2)
    int frames = 0;      // audio frames, the tag frame not counted
    bool hasXing = false;
    bool vbr = false; // "Xing" rather than "Info"
    bool hasLameTag = false;
    int xingFrames = -1;
    qint64 xingBytes = -1;
    int encoderDelay = 0;
    int encoderPadding = 0;
    int samplesPerFrame = 0;

    // The exact length the tag promises, in samples.
    qint64 taggedSamples() const {
        return qint64(xingFrames) * samplesPerFrame - encoderDelay - encoderPadding;
    }
    double taggedSeconds() const { return sampleRate ? double(taggedSamples()) / sampleRate : 0; }
    // The length of all audio frames.
    double frameSeconds() const {
        return sampleRate ? double(frames) * samplesPerFrame / sampleRate : 0;
    }

    static Mp3Frames read(const QByteArray &mp3) {
        Mp3Frames info;
        qsizetype at = 0;
        while (at < mp3.size()) {
            const auto header = Mp3FrameHeader::read(QByteArrayView(mp3).sliced(at));
            if (!header)
                return info.fail(QStringLiteral("no frame header at %1").arg(at));
            if (at == 0) {
                info.sampleRate = header->sampleRate;
                info.mono = header->mono;
                info.mpegVersion = header->version == 1 ? 1 : 2;
                info.samplesPerFrame = header->samplesPerFrame();
                info.readTag(mp3, *header);
            } else if (header->sampleRate != info.sampleRate || header->mono != info.mono) {
                return info.fail(QStringLiteral("format changes at %1").arg(at));
            }
            if (at + header->frameBytes() > mp3.size())
                return info.fail(QStringLiteral("last frame cut short"));
            if (!(at == 0 && info.hasXing))
                ++info.frames;
            at += header->frameBytes();
        }
        if (info.frames == 0)
            return info.fail(QStringLiteral("no audio frame"));
        info.valid = true;
        return info;
    }

private:
    Mp3Frames fail(const QString &why) {
        problem = why;
        valid = false;
        return *this;
    }

    void readTag(const QByteArray &mp3, const Mp3FrameHeader &header) {
        const auto tag = Mp3InfoTag::read(mp3, header);
        if (!tag)
            return;
        hasXing = true;
        vbr = tag->vbr;
        xingFrames = int(tag->frames);
        xingBytes = tag->bytes;
        hasLameTag = tag->hasLame;
        encoderDelay = tag->encoderDelay;
        encoderPadding = tag->encoderPadding;
    }
};

} // namespace parlino
