#pragma once

#include <QByteArray>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVector>
#include <QtEndian>

#include <optional>

namespace parlino {

// Integrated loudness (LUFS) of mono 16-bit PCM as ffmpeg's ebur128 filter
// measures it; nothing when ffmpeg is not installed or fails.
inline std::optional<double> ffmpegLoudness(const QVector<qint16> &samples, int sampleRate) {
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    QTemporaryDir dir;
    if (ffmpeg.isEmpty() || !dir.isValid())
        return std::nullopt;
    // A canonical 44-byte WAV header, then the samples.
    const auto le32 = [](quint32 v) {
        QByteArray b(4, '\0');
        qToLittleEndian(v, b.data());
        return b;
    };
    const auto le16 = [](quint16 v) {
        QByteArray b(2, '\0');
        qToLittleEndian(v, b.data());
        return b;
    };
    const quint32 bytes = quint32(samples.size() * 2);
    QByteArray wav = "RIFF" + le32(36 + bytes) + "WAVEfmt " + le32(16) + le16(1) + le16(1) +
                     le32(quint32(sampleRate)) + le32(quint32(sampleRate) * 2) + le16(2) +
                     le16(16) + "data" + le32(bytes);
    for (const qint16 s : samples)
        wav += le16(quint16(s));
    QFile file(dir.filePath(QStringLiteral("a.wav")));
    if (!file.open(QIODevice::WriteOnly) || file.write(wav) != wav.size())
        return std::nullopt;
    file.close();
    QProcess process;
    process.start(ffmpeg, {"-hide_banner", "-nostats", "-i", file.fileName(), "-af", "ebur128",
                           "-f", "null", "-"});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return std::nullopt;
    // The summary at the end: "Integrated loudness:\n    I:  -20.3 LUFS".
    static const QRegularExpression integrated(
        QStringLiteral("Integrated loudness:\\s*I:\\s*(-?[0-9.]+) LUFS"));
    const QRegularExpressionMatch match =
        integrated.match(QString::fromUtf8(process.readAllStandardError()));
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toDouble();
}

} // namespace parlino
