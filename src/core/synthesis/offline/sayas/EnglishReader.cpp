#include "synthesis/offline/sayas/EnglishReader.h"

#include "synthesis/offline/sayas/NumberWords.h"

#include <QStringList>

namespace parlino {

namespace {

// English years as people say them: "19 60" (nineteen sixty), "19 oh 5",
// "19 hundred", "20 24"; 2000 to 2009 and other years stay digits.
QString englishYear(int year, int digits) {
    if (digits <= 2 || year < 1100 || year > 9999 || (year >= 2000 && year <= 2009) ||
        year % 1000 == 0)
        return QString::number(year);
    const int hundreds = year / 100;
    const int rest = year % 100;
    if (rest == 0)
        return QStringLiteral("%1 hundred").arg(hundreds);
    if (rest < 10)
        return QStringLiteral("%1 oh %2").arg(hundreds).arg(rest);
    return QStringLiteral("%1 %2").arg(hundreds).arg(rest);
}

} // namespace

EnglishReader::EnglishReader(const QLocale &locale, bool americanDates)
    : SayAsReader(locale)
    , m_americanDates(americanDates) {}

QString EnglishReader::date(const SayAsDate &date) const {
    const QString day = date.hasDay() ? NumberWords::englishOrdinalSuffixed(date.day) : QString();
    const QString month = date.hasMonth() ? monthName(date.month) : QString();
    const QString year = date.hasYear() ? englishYear(date.year, date.yearDigits) : QString();
    QString out;
    if (m_americanDates) {
        // September 10th, 1960
        out = QStringList{month, day}.join(QLatin1Char(' ')).trimmed();
        if (!year.isEmpty())
            out = out.isEmpty()
                      ? year
                      : out + (day.isEmpty() ? QLatin1String(" ") : QLatin1String(", ")) + year;
        return out;
    }
    // the 10th of September 1960
    if (!day.isEmpty())
        out = month.isEmpty() ? day : QStringLiteral("the %1 of %2").arg(day, month);
    else
        out = month;
    if (!year.isEmpty())
        out = out.isEmpty() ? year : out + QLatin1Char(' ') + year;
    return out;
}

QString EnglishReader::time(const SayAsTime &time) const {
    if (time.twentyFourHour)
        return twentyFourHourTime(time);
    QString out = QString::number(time.hour12());
    if (time.minute == 0 && !time.halfKnown)
        out += QLatin1String(" o'clock");
    else if (time.minute > 0 && time.minute < 10)
        out += QStringLiteral(" oh %1").arg(time.minute);
    else if (time.minute >= 10)
        out += QStringLiteral(" %1").arg(time.minute);
    if (time.halfKnown)
        out += time.hour < 12 ? QLatin1String(" a m") : QLatin1String(" p m");
    if (time.hasSeconds && time.second > 0)
        out += QStringLiteral(" and %1 second%2").arg(time.second).arg(time.second == 1 ? "" : "s");
    return out;
}

// "fourteen thirty", "nine oh five", "fourteen hundred".
QString EnglishReader::twentyFourHourTime(const SayAsTime &time) {
    QString out = QString::number(time.hour);
    if (time.minute == 0)
        out += QLatin1String(" hundred");
    else if (time.minute < 10)
        out += QStringLiteral(" oh %1").arg(time.minute);
    else
        out += QStringLiteral(" %1").arg(time.minute);
    if (time.hasSeconds && time.second > 0)
        out += QStringLiteral(" and %1 second%2").arg(time.second).arg(time.second == 1 ? "" : "s");
    return out;
}

QString EnglishReader::ordinal(int n) const {
    return NumberWords::englishOrdinalSuffixed(n);
}

QString EnglishReader::fraction(int numerator, int denominator) const {
    const bool one = numerator == 1;
    QString noun;
    if (denominator == 2)
        noun = one ? QStringLiteral("half") : QStringLiteral("halves");
    else if (denominator == 4)
        noun = one ? QStringLiteral("quarter") : QStringLiteral("quarters");
    else if (!NumberWords::englishOrdinal(denominator).isEmpty())
        noun = NumberWords::englishOrdinal(denominator) + (one ? "" : "s");
    if (noun.isEmpty())
        return QStringLiteral("%1 over %2").arg(numerator).arg(denominator);
    return (one ? QStringLiteral("one") : QString::number(numerator)) + QLatin1Char(' ') + noun;
}

} // namespace parlino
