#pragma once

#include <QByteArray>
#include <QString>

namespace parlino {

// Test helper: reads an MP3 file frame by frame (MPEG-1/2 Layer III) and its
// Xing/Info and LAME tags, to check that a file is whole and to learn its
// exact length without a decoder.
struct Mp3Frames {
    bool valid = false;
    QString problem;
    int sampleRate = 0;
    bool mono = false;
    int mpegVersion = 0; // 1 or 2
    int frames = 0;      // audio frames, the tag frame not counted
    bool hasXing = false;
    bool hasLameTag = false;
    int xingFrames = -1;
    int encoderDelay = 0;
    int encoderPadding = 0;
    int samplesPerFrame = 0;

    // The exact length the tag promises, in samples.
    qint64 taggedSamples() const {
        return qint64(xingFrames) * samplesPerFrame - encoderDelay - encoderPadding;
    }
    double taggedSeconds() const { return sampleRate ? double(taggedSamples()) / sampleRate : 0; }

    static Mp3Frames read(const QByteArray &mp3) {
        Mp3Frames info;
        const auto *data = reinterpret_cast<const unsigned char *>(mp3.constData());
        const qsizetype size = mp3.size();
        qsizetype at = 0;
        bool first = true;
        while (at < size) {
            if (size - at < 4)
                return info.fail(QStringLiteral("truncated header at %1").arg(at));
            const quint32 h = quint32(data[at]) << 24 | quint32(data[at + 1]) << 16 |
                              quint32(data[at + 2]) << 8 | data[at + 3];
            if ((h & 0xFFE00000u) != 0xFFE00000u)
                return info.fail(QStringLiteral("no frame sync at %1").arg(at));
            const int versionBits = (h >> 19) & 3;
            const int layerBits = (h >> 17) & 3;
            const int bitrateIndex = (h >> 12) & 15;
            const int rateIndex = (h >> 10) & 3;
            const int padding = (h >> 9) & 1;
            const bool mono = ((h >> 6) & 3) == 3;
            if (versionBits == 1 || layerBits != 1 || bitrateIndex == 0 || bitrateIndex == 15 ||
                rateIndex == 3)
                return info.fail(QStringLiteral("bad frame header at %1").arg(at));
            const int version = versionBits == 3 ? 1 : 2; // MPEG 2.5 counted as 2
            static const int rates1[] = {44100, 48000, 32000};
            static const int rates2[] = {22050, 24000, 16000};
            static const int rates25[] = {11025, 12000, 8000};
            static const int bitrates1[] = {0,   32,  40,  48,  56,  64,  80, 96,
                                            112, 128, 160, 192, 224, 256, 320};
            static const int bitrates2[] = {0,  8,  16, 24,  32,  40,  48, 56,
                                            64, 80, 96, 112, 128, 144, 160};
            const int rate = versionBits == 3   ? rates1[rateIndex]
                             : versionBits == 2 ? rates2[rateIndex]
                                                : rates25[rateIndex];
            const int bitrate = (version == 1 ? bitrates1 : bitrates2)[bitrateIndex] * 1000;
            const int spf = version == 1 ? 1152 : 576;
            const qsizetype length = qsizetype(spf / 8) * bitrate / rate + padding;
            if (first) {
                info.sampleRate = rate;
                info.mono = mono;
                info.mpegVersion = version;
                info.samplesPerFrame = spf;
                const int sideInfo = version == 1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
                info.readTags(mp3, at + 4 + sideInfo, length);
            } else if (rate != info.sampleRate || mono != info.mono) {
                return info.fail(QStringLiteral("format changes at %1").arg(at));
            }
            if (at + length > size)
                return info.fail(QStringLiteral("last frame cut short"));
            if (!(first && info.hasXing))
                ++info.frames;
            first = false;
            at += length;
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

    static quint32 be32(const QByteArray &b, qsizetype at) {
        const auto *d = reinterpret_cast<const unsigned char *>(b.constData()) + at;
        return quint32(d[0]) << 24 | quint32(d[1]) << 16 | quint32(d[2]) << 8 | d[3];
    }

    void readTags(const QByteArray &mp3, qsizetype at, qsizetype frameLength) {
        if (at + 8 > mp3.size() || at + 8 > frameLength)
            return;
        const QByteArray id = mp3.mid(at, 4);
        if (id != "Xing" && id != "Info")
            return;
        hasXing = true;
        const quint32 flags = be32(mp3, at + 4);
        qsizetype p = at + 8;
        if (flags & 1) {
            xingFrames = int(be32(mp3, p));
            p += 4;
        }
        if (flags & 2)
            p += 4;
        if (flags & 4)
            p += 100;
        if (flags & 8)
            p += 4;
        if (p + 24 <= mp3.size() && mp3.mid(p, 4) == "LAME") {
            hasLameTag = true;
            const auto *d = reinterpret_cast<const unsigned char *>(mp3.constData()) + p + 21;
            encoderDelay = (d[0] << 4) | (d[1] >> 4);
            encoderPadding = ((d[1] & 0x0F) << 8) | d[2];
        }
    }
};

} // namespace parlino
