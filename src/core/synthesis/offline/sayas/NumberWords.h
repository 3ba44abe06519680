#pragma once

#include <QString>

namespace parlino {

// Number words that eSpeak NG cannot produce from digits: German ordinals,
// years and fraction denominators, and English ordinal words. Everything else
// is left to eSpeak, which reads digits well in every language it has.
namespace NumberWords {

// "einundzwanzigste" for 21 (the form after "der"); 1 <= n < 1,000,000, otherwise empty.
QString germanOrdinal(int n);

// "neunzehnhundertsechzig" for 1960: years 1100 to 1999 are read in hundreds;
// other years are returned as digits, which eSpeak reads correctly.
QString germanYear(int year);

// The noun for 1/d: "Drittel", "Viertel", "Zwanzigstel"; "Halbe" for 2.
// Empty when d < 2 or d >= 1,000,000.
QString germanFractionNoun(int d);

// "third", "twenty-first", "hundredth"; 1 <= n <= 100, otherwise empty.
QString englishOrdinal(int n);

// "21st", "112th": the notation eSpeak reads as an English ordinal.
QString englishOrdinalSuffixed(int n);

} // namespace NumberWords

} // namespace parlino
