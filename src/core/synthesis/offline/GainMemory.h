#pragma once

#include <QHash>
#include <QString>

#include <chrono>
#include <optional>

namespace parlino {

struct OfflineRequest;

// The gains the offline engine measured lately, by voice, pitch and rate, so
// that the requests sent one after another with one voice (the parts of one
// conversion) are brought to one level: the first measures it and the others
// follow, also one that starts with a quiet or loud stretch or is too short
// to measure. A gain is forgotten keepFor after its last use, so that a text
// converted later is measured anew. Not thread-safe.
class GainMemory {
public:
    static constexpr std::chrono::seconds keepFor{60};

    // What a gain is remembered by: the request's voice, pitch and rate.
    static QString keyOf(const OfflineRequest &request);

    // The gain remembered for the key, which counts as a use.
    std::optional<double> recall(const QString &key);
    void remember(const QString &key, double gainDb);

private:
    struct Gain {
        double gainDb;
        std::chrono::steady_clock::time_point used;
    };
    QHash<QString, Gain> m_gains;
};

} // namespace parlino
