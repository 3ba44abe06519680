#pragma once

#include "synthesis/offline/sayas/SayAsReader.h"

namespace parlino {

// English: ordinals as "10th", years as people say them ("19 60"), clock
// times on the 12-hour clock with "oh" and "a m"/"p m"; dates in American
// order ("September 10th, 1960") or British ("the 10th of September 1960").
class EnglishReader : public SayAsReader {
public:
    EnglishReader(const QLocale &locale, bool americanDates);

    QString date(const SayAsDate &date) const override;
    QString time(const SayAsTime &time) const override;
    QString ordinal(int n) const override;
    QString fraction(int numerator, int denominator) const override;
    QString mixedFractionJoiner() const override { return QStringLiteral(" and "); }

private:
    static QString twentyFourHourTime(const SayAsTime &time);
    bool m_americanDates;
};

} // namespace parlino
