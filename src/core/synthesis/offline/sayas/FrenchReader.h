#pragma once

#include "synthesis/offline/sayas/SayAsReader.h"

namespace parlino {

// French: "1er mai", "14 heures 30", "21ème", "3 quarts".
class FrenchReader : public SayAsReader {
public:
    using SayAsReader::SayAsReader;

    QString date(const SayAsDate &date) const override;
    QString time(const SayAsTime &time) const override;
    QString ordinal(int n) const override;
    QString fraction(int numerator, int denominator) const override;
    QString mixedFractionJoiner() const override { return QStringLiteral(" et "); }
};

} // namespace parlino
