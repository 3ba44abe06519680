#pragma once

#include "playback/SpokenAudio.h"

#include <QByteArray>
#include <QHash>

#include <list>

namespace parlino {

// What was heard, kept in memory by its request so that replaying an
// unchanged stretch with unchanged voice settings needs no synthesis. Bounded
// by the bytes of audio it holds; the least recently used entries go first.
class PlaybackCache {
public:
    static constexpr qint64 defaultBudget = 64 * 1024 * 1024;

    explicit PlaybackCache(qint64 budgetBytes = defaultBudget);

    // The audio stored under the key, now the most recently used; null when absent.
    const SpokenAudio *find(const QByteArray &key);
    // Stores the audio; one larger than the whole budget is not kept.
    void insert(const QByteArray &key, const SpokenAudio &audio);
    void clear();

    qint64 usedBytes() const { return m_used; }
    qsizetype count() const { return qsizetype(m_order.size()); }

private:
    struct Entry {
        QByteArray key;
        SpokenAudio audio;
    };
    void evictTo(qint64 budget);

    qint64 m_budget;
    qint64 m_used = 0;
    std::list<Entry> m_order; // most recently used first
    QHash<QByteArray, std::list<Entry>::iterator> m_index;
};

} // namespace parlino
