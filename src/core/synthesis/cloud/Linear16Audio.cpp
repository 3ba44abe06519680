#include "synthesis/cloud/Linear16Audio.h"

#include <QJsonArray>
#include <QtEndian>

namespace parlino {

namespace Linear16Audio {

namespace {

quint32 u32(const QByteArray &data, qsizetype at) {
    return qFromLittleEndian<quint32>(data.constData() + at);
}

quint16 u16(const QByteArray &data, qsizetype at) {
    return qFromLittleEndian<quint16>(data.constData() + at);
}

QByteArray mixDown(const QByteArray &frames, int channels) {
    const qsizetype count = frames.size() / (2 * channels);
    QByteArray mono(count * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < count; ++i) {
        int sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += qint16(u16(frames, (i * channels + c) * 2));
        qToLittleEndian<qint16>(qint16(sum / channels), mono.data() + i * 2);
    }
    return mono;
}

} // namespace

bool read(const QByteArray &wav, Pcm *out, QString *error) {
    if (wav.size() < 12 || !wav.startsWith("RIFF") || wav.mid(8, 4) != "WAVE") {
        *error = QStringLiteral("The speech service's audio is not a WAV file.");
        return false;
    }
    int channels = 0;
    int bits = 0;
    for (qsizetype at = 12; at + 8 <= wav.size();) {
        const QByteArray id = wav.mid(at, 4);
        const qint64 size = u32(wav, at + 4);
        const qsizetype body = at + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= wav.size()) {
            if (u16(wav, body) != 1) {
                *error = QStringLiteral("The speech service's WAV audio is not plain PCM.");
                return false;
            }
            channels = u16(wav, body + 2);
            out->sampleRate = int(u32(wav, body + 4));
            bits = u16(wav, body + 14);
        } else if (id == "data") {
            if (bits != 16 || channels < 1 || out->sampleRate <= 0) {
                *error = QStringLiteral("The speech service's WAV audio is not 16-bit PCM.");
                return false;
            }
            // A streamed WAV may give its data size as 0 or too large: take what is there.
            const qint64 available = wav.size() - body;
            const qint64 take = (size == 0 || size > available) ? available : size;
            const QByteArray frames = wav.mid(body, take - take % (2 * channels));
            out->samples = channels == 1 ? frames : mixDown(frames, channels);
            return true;
        }
        at = body + size + (size & 1);
    }
    *error = QStringLiteral("The speech service's WAV audio has no data.");
    return false;
}

QList<Timepoint> timepoints(const QJsonObject &reply) {
    QList<Timepoint> result;
    const QJsonArray points = reply.value(QLatin1String("timepoints")).toArray();
    for (const QJsonValue &point : points) {
        const QJsonObject object = point.toObject();
        const QJsonValue name = object.value(QLatin1String("markName"));
        const QJsonValue time = object.value(QLatin1String("timeSeconds"));
        if (name.isString() && time.isDouble() && time.toDouble() >= 0)
            result.append({name.toString(), time.toDouble()});
    }
    return result;
}

} // namespace Linear16Audio

} // namespace parlino
