#include "synthesis/offline/sayas/ItalianReader.h"

#include <QStringList>

namespace parlino {

QString ItalianReader::date(const SayAsDate &date) const {
    QStringList words;
    if (date.hasDay())
        words << (date.day == 1 ? QStringLiteral("1º") : QString::number(date.day));
    if (date.hasMonth())
        words << monthName(date.month);
    if (date.hasYear())
        words << QString::number(date.year);
    return words.join(QLatin1Char(' '));
}

QString ItalianReader::time(const SayAsTime &time) const {
    QString out = time.hour == 1   ? QStringLiteral("l'una")
                  : time.hour == 0 ? QStringLiteral("mezzanotte")
                                   : QStringLiteral("le %1").arg(time.hour);
    if (time.minute > 0)
        out += QStringLiteral(" e %1").arg(time.minute);
    if (time.hasSeconds && time.second > 0)
        out += QStringLiteral(" e %1 second%2").arg(time.second).arg(time.second == 1 ? "o" : "i");
    return out;
}

QString ItalianReader::ordinal(int n) const {
    return QStringLiteral("%1º").arg(n);
}

QString ItalianReader::fraction(int numerator, int denominator) const {
    static const char *const nouns[] = {"mezzo",   "terzo",  "quarto", "quinto", "sesto",
                                        "settimo", "ottavo", "nono",   "decimo"};
    if (denominator < 2 || denominator > 10)
        return QStringLiteral("%1 fratto %2").arg(numerator).arg(denominator);
    QString noun = QString::fromUtf8(nouns[denominator - 2]);
    if (numerator != 1)
        noun[noun.size() - 1] = u'i';
    return (numerator == 1 ? QStringLiteral("un") : QString::number(numerator)) + QLatin1Char(' ') +
           noun;
}

} // namespace parlino
