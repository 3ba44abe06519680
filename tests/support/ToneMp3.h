#pragma once

#include "synthesis/offline/Mp3Encoder.h"

#include <QByteArray>
#include <QHash>

#include <cmath>
#include <future>
#include <vector>

namespace parlino {

// Test helper: a short tone of its own per index (half a second plus index
// frames, 22,050 Hz mono), as MP3 from the offline engine's encoder.
inline QByteArray toneMp3(int index) {
    static QHash<int, QByteArray> made;
    if (!made.contains(index)) {
        constexpr int rate = 22050;
        Mp3Encoder encoder(rate);
        QString error;
        encoder.start(&error);
        std::vector<short> samples(std::size_t(rate / 2 + index * 1152));
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = short(8000 * std::sin(double(i) * (200 + 50 * index) / rate));
        encoder.write(samples.data(), int(samples.size()));
        std::promise<QByteArray> mp3; // finished on the encoding thread
        encoder.finish([&mp3](const QByteArray &bytes, const QString &) { mp3.set_value(bytes); });
        made.insert(index, mp3.get_future().get());
    }
    return made.value(index);
}

} // namespace parlino
