#pragma once

#include "synthesis/offline/sayas/SayAsReader.h"

namespace parlino {

// Every language without a reader of its own: dates in the order and with
// the words of the language's long date format, clock times and fractions
// as digits ("14:05", "3/4"), which eSpeak reads the way most languages say
// them, and ordinals as their number.
class LocaleReader : public SayAsReader {
public:
    using SayAsReader::SayAsReader;

    QString date(const SayAsDate &date) const override;
    QString time(const SayAsTime &time) const override;
    QString ordinal(int n) const override;
    QString fraction(int numerator, int denominator) const override;
    QString mixedFractionJoiner() const override { return QStringLiteral(" "); }
};

} // namespace parlino
