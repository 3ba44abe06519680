#pragma once

#include "synthesis/offline/sayas/LocaleReader.h"

namespace parlino {

// Japanese: as the locale writes it, with the date's kanji counters written
// in kana ("1960 ねん 9 がつ 10 にち"), because eSpeak reads kana but not kanji.
class JapaneseReader : public LocaleReader {
public:
    using LocaleReader::LocaleReader;

    QString date(const SayAsDate &date) const override;
};

} // namespace parlino
