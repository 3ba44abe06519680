#include "playback/SpokenAudio.h"

#include <algorithm>

namespace parlino {

qsizetype SpokenAudio::wordAt(qint64 sample) const {
    const auto after =
        std::upper_bound(words.cbegin(), words.cend(), sample,
                         [](qint64 s, const TimedWord &word) { return s < word.sample; });
    return qsizetype(after - words.cbegin()) - 1;
}

} // namespace parlino
