#include "synthesis/offline/sayas/SpanishReader.h"

#include <QStringList>

namespace parlino {

QString SpanishReader::date(const SayAsDate &date) const {
    QStringList words;
    if (date.hasDay())
        words << QString::number(date.day);
    if (date.hasMonth())
        words << monthName(date.month);
    if (date.hasYear())
        words << QString::number(date.year);
    return words.join(QLatin1String(" de "));
}

QString SpanishReader::time(const SayAsTime &time) const {
    const int hour = time.twentyFourHour ? time.hour : time.hour12();
    QString out = hour == 1 ? QStringLiteral("la una") : QStringLiteral("las %1").arg(hour);
    out +=
        time.minute == 0 ? QStringLiteral(" en punto") : QStringLiteral(" y %1").arg(time.minute);
    if (time.hasSeconds && time.second > 0)
        out += QStringLiteral(" y %1 segundo%2").arg(time.second).arg(time.second == 1 ? "" : "s");
    if (time.halfKnown && !time.twentyFourHour)
        out += time.hour < 12   ? QStringLiteral(" de la mañana")
               : time.hour < 20 ? QStringLiteral(" de la tarde")
                                : QStringLiteral(" de la noche");
    return out;
}

QString SpanishReader::ordinal(int n) const {
    return QStringLiteral("%1º").arg(n);
}

QString SpanishReader::fraction(int numerator, int denominator) const {
    static const char *const nouns[] = {"medio",   "tercio", "cuarto", "quinto", "sexto",
                                        "séptimo", "octavo", "noveno", "décimo"};
    if (denominator < 2 || denominator > 10)
        return QStringLiteral("%1 sobre %2").arg(numerator).arg(denominator);
    QString noun = QString::fromUtf8(nouns[denominator - 2]);
    if (numerator != 1)
        noun += QLatin1Char('s');
    return (numerator == 1 ? QStringLiteral("un") : QString::number(numerator)) + QLatin1Char(' ') +
           noun;
}

} // namespace parlino
