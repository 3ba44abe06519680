#pragma once

#include "synthesis/offline/sayas/SayAsReader.h"

namespace parlino {

// Italian: "1º settembre", "le 14 e 30", "l'una", "3º", "un mezzo".
class ItalianReader : public SayAsReader {
public:
    using SayAsReader::SayAsReader;

    QString date(const SayAsDate &date) const override;
    QString time(const SayAsTime &time) const override;
    QString ordinal(int n) const override;
    QString fraction(int numerator, int denominator) const override;
    QString mixedFractionJoiner() const override { return QStringLiteral(" e "); }
};

} // namespace parlino
