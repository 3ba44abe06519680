#include "synthesis/offline/sayas/GermanReader.h"

#include "synthesis/offline/sayas/NumberWords.h"

#include <QStringList>

namespace parlino {

QString GermanReader::date(const SayAsDate &date) const {
    QStringList words;
    if (date.hasDay())
        words << NumberWords::germanOrdinal(date.day) + QLatin1Char('r');
    if (date.hasMonth())
        words << monthName(date.month);
    if (date.hasYear())
        words << NumberWords::germanYear(date.year);
    return words.join(QLatin1Char(' '));
}

QString GermanReader::time(const SayAsTime &time) const {
    QString out = (time.hour == 1 ? QStringLiteral("ein") : QString::number(time.hour)) +
                  QLatin1String(" Uhr");
    if (time.minute > 0)
        out += QStringLiteral(" %1").arg(time.minute);
    if (time.hasSeconds && time.second > 0)
        out +=
            QStringLiteral(" und %1 Sekunde%2").arg(time.second).arg(time.second == 1 ? "" : "n");
    return out;
}

QString GermanReader::ordinal(int n) const {
    const QString word = NumberWords::germanOrdinal(n);
    return word.isEmpty() ? QString::number(n) : word;
}

QString GermanReader::fraction(int numerator, int denominator) const {
    const bool one = numerator == 1;
    const QString noun = denominator == 2 && one ? QStringLiteral("halb")
                                                 : NumberWords::germanFractionNoun(denominator);
    if (noun.isEmpty())
        return QStringLiteral("%1 durch %2").arg(numerator).arg(denominator);
    return (one ? QStringLiteral("ein") : QString::number(numerator)) + QLatin1Char(' ') + noun;
}

} // namespace parlino
