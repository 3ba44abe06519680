#pragma once

#include "synthesis/offline/sayas/SayAsReader.h"

namespace parlino {

// German: ordinals and years in words ("zehnter September
// neunzehnhundertsechzig"), "14 Uhr 30", fractions with their nouns.
class GermanReader : public SayAsReader {
public:
    using SayAsReader::SayAsReader;

    QString date(const SayAsDate &date) const override;
    QString time(const SayAsTime &time) const override;
    QString ordinal(int n) const override;
    QString fraction(int numerator, int denominator) const override;
    QString mixedFractionJoiner() const override { return QStringLiteral(" und "); }
};

} // namespace parlino
