#include "synthesis/offline/sayas/FrenchReader.h"

#include <QStringList>

namespace parlino {

QString FrenchReader::date(const SayAsDate &date) const {
    QStringList words;
    if (date.hasDay())
        words << (date.day == 1 ? QStringLiteral("1er") : QString::number(date.day));
    if (date.hasMonth())
        words << monthName(date.month);
    if (date.hasYear())
        words << QString::number(date.year);
    return words.join(QLatin1Char(' '));
}

QString FrenchReader::time(const SayAsTime &time) const {
    QString out =
        time.hour == 1 ? QStringLiteral("une heure") : QStringLiteral("%1 heures").arg(time.hour);
    if (time.minute > 0)
        out += QStringLiteral(" %1").arg(time.minute);
    if (time.hasSeconds && time.second > 0)
        out += QStringLiteral(" et %1 seconde%2").arg(time.second).arg(time.second == 1 ? "" : "s");
    return out;
}

QString FrenchReader::ordinal(int n) const {
    return n == 1 ? QStringLiteral("1er") : QStringLiteral("%1ème").arg(n);
}

QString FrenchReader::fraction(int numerator, int denominator) const {
    const bool one = numerator == 1;
    QString noun;
    if (denominator == 2)
        noun = QStringLiteral("demi");
    else if (denominator == 3)
        noun = QStringLiteral("tiers");
    else if (denominator == 4)
        noun = QStringLiteral("quart");
    else
        noun = QStringLiteral("%1ème").arg(denominator);
    if (!one && !noun.endsWith(u's'))
        noun += QLatin1Char('s');
    return (one ? QStringLiteral("un") : QString::number(numerator)) + QLatin1Char(' ') + noun;
}

} // namespace parlino
