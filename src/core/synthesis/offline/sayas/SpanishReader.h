#pragma once

#include "synthesis/offline/sayas/SayAsReader.h"

namespace parlino {

// Spanish: "10 de septiembre de 1960", "las 2 y 30 de la tarde", "3º",
// "3 cuartos".
class SpanishReader : public SayAsReader {
public:
    using SayAsReader::SayAsReader;

    QString date(const SayAsDate &date) const override;
    QString time(const SayAsTime &time) const override;
    QString ordinal(int n) const override;
    QString fraction(int numerator, int denominator) const override;
    QString mixedFractionJoiner() const override { return QStringLiteral(" y "); }
};

} // namespace parlino
