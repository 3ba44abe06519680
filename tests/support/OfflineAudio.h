#pragma once

#include "synthesis/offline/OfflineSpeechEngine.h"

#include <QJsonObject>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <vector>

namespace parlino {

// Test helpers for the offline engine: requests, waiting for results, and
// measurements on PCM.
namespace OfflineAudio {

inline QJsonObject request(const QString &input, bool ssml, const QString &languageCode,
                           const QString &voiceName, int pitch = 0,
                           const QString &rate = QStringLiteral("1.00")) {
    return QJsonObject{
        {QStringLiteral("input"),
         QJsonObject{{ssml ? QStringLiteral("ssml") : QStringLiteral("text"), input}}},
        {QStringLiteral("voice"), QJsonObject{{QStringLiteral("languageCode"), languageCode},
                                              {QStringLiteral("name"), voiceName}}},
        {QStringLiteral("audioConfig"),
         QJsonObject{{QStringLiteral("audioEncoding"), QStringLiteral("MP3")},
                     {QStringLiteral("pitch"), pitch},
                     {QStringLiteral("speakingRate"), rate}}}};
}

inline QJsonObject english(const QString &input, bool ssml = true, int pitch = 0,
                           const QString &rate = QStringLiteral("1.00")) {
    return request(input, ssml, QStringLiteral("en-US"), QStringLiteral("en-US-Standard-B"), pitch,
                   rate);
}

struct Mp3Result {
    bool arrived = false;
    QByteArray mp3;
    QString error;
};

struct PcmResult {
    bool arrived = false;
    OfflinePcm pcm;
    QString error;
};

inline QString messageOf(const QString &error) {
    return error;
}
inline QString messageOf(const SpeechError &error) {
    return error.message;
}

// Starts a request with the given member function and waits for its result.
template <typename Result, typename Start>
Result resultOf(OfflineSpeechEngine &engine, Start start, const QJsonObject &request) {
    Result result;
    (engine.*start)(request, [&result](const auto &audio, const auto &error) {
        result = {true, audio, messageOf(error)};
    });
    static_cast<void>(QTest::qWaitFor([&result] { return result.arrived; }, 60000));
    return result;
}

inline Mp3Result mp3Of(OfflineSpeechEngine &engine, const QJsonObject &request) {
    return resultOf<Mp3Result>(engine, &OfflineSpeechEngine::synthesize, request);
}

inline PcmResult pcmOf(OfflineSpeechEngine &engine, const QJsonObject &request) {
    return resultOf<PcmResult>(engine, &OfflineSpeechEngine::synthesizePcm, request);
}

// Root mean square level in dB relative to full scale, over [from, to).
inline double rmsDb(const QVector<qint16> &samples, qsizetype from = 0, qsizetype to = -1) {
    if (to < 0 || to > samples.size())
        to = samples.size();
    double sum = 0;
    for (qsizetype i = from; i < to; ++i)
        sum += double(samples[i]) * samples[i];
    const double rms = to > from ? std::sqrt(sum / double(to - from)) : 0.0;
    return 20.0 * std::log10(std::max(rms, 1e-3) / 32768.0);
}

// The longest run of samples quieter than thresholdDb (dBFS), in seconds.
inline double longestSilence(const QVector<qint16> &samples, int sampleRate,
                             double thresholdDb = -50.0) {
    const double threshold = 32768.0 * std::pow(10.0, thresholdDb / 20.0);
    qsizetype longest = 0;
    qsizetype run = 0;
    for (const qint16 s : samples) {
        run = std::abs(double(s)) < threshold ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return double(longest) / sampleRate;
}

// Samples at full scale, where the waveform was cut off.
inline int clippedSamples(const QVector<qint16> &samples) {
    return int(std::count_if(samples.begin(), samples.end(),
                             [](qint16 s) { return s >= 32767 || s <= -32767; }));
}

// Median fundamental frequency of the voiced 40 ms frames, by autocorrelation.
inline double medianF0(const QVector<qint16> &samples, int sampleRate) {
    const int frame = sampleRate / 25;
    const int minLag = sampleRate / 400;
    const int maxLag = sampleRate / 60;
    std::vector<double> f0s;
    for (qsizetype start = 0; start + frame + maxLag < samples.size(); start += frame / 2) {
        double energy = 0;
        for (int i = 0; i < frame; ++i)
            energy += double(samples[start + i]) * samples[start + i];
        if (std::sqrt(energy / frame) < 1000)
            continue;
        double best = 0;
        int bestLag = 0;
        for (int lag = minLag; lag <= maxLag; ++lag) {
            double sum = 0, norm = 0;
            for (int i = 0; i < frame; ++i) {
                sum += double(samples[start + i]) * samples[start + i + lag];
                norm += double(samples[start + i + lag]) * samples[start + i + lag];
            }
            const double r = sum / std::sqrt(energy * norm + 1.0);
            if (r > best) {
                best = r;
                bestLag = lag;
            }
        }
        if (best > 0.6)
            f0s.push_back(double(sampleRate) / bestLag);
    }
    if (f0s.empty())
        return 0;
    std::nth_element(f0s.begin(), f0s.begin() + f0s.size() / 2, f0s.end());
    return f0s[f0s.size() / 2];
}

// eSpeak's phonemes without stress, length and pause marks, for comparing
// words in different contexts.
inline QString plainPhonemes(const QString &phonemes) {
    QString out;
    for (const QChar c : phonemes) {
        if (!c.isSpace() && !QStringLiteral("',_!:|;#").contains(c))
            out += c;
    }
    return out;
}

} // namespace OfflineAudio

} // namespace parlino
