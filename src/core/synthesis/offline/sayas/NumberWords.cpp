#include "synthesis/offline/sayas/NumberWords.h"

#include <QStringList>

namespace parlino {

namespace NumberWords {

namespace {

const char *const germanUnits[] = {"",         "eins",     "zwei",     "drei",     "vier",
                                   "fünf",     "sechs",    "sieben",   "acht",     "neun",
                                   "zehn",     "elf",      "zwölf",    "dreizehn", "vierzehn",
                                   "fünfzehn", "sechzehn", "siebzehn", "achtzehn", "neunzehn"};
const char *const germanTens[] = {"",        "",        "zwanzig", "dreißig", "vierzig",
                                  "fünfzig", "sechzig", "siebzig", "achtzig", "neunzig"};

// A word that multiplies what follows ("ein" in "einhundert") drops the final s of "eins".
QString asMultiplier(QString word) {
    if (word.endsWith(QLatin1String("eins")))
        word.chop(1);
    return word;
}

QString germanBelow100(int n) {
    if (n < 20)
        return QString::fromUtf8(germanUnits[n]);
    const int unit = n % 10;
    const QString tens = QString::fromUtf8(germanTens[n / 10]);
    if (unit == 0)
        return tens;
    return asMultiplier(QString::fromUtf8(germanUnits[unit])) + QLatin1String("und") + tens;
}

QString germanBelow1000(int n) {
    QString word;
    if (n >= 100)
        word = asMultiplier(germanBelow100(n / 100)) + QLatin1String("hundert");
    return word + germanBelow100(n % 100);
}

const char *const englishUnitOrdinals[] = {
    "",           "first",     "second",    "third",       "fourth",     "fifth",     "sixth",
    "seventh",    "eighth",    "ninth",     "tenth",       "eleventh",   "twelfth",   "thirteenth",
    "fourteenth", "fifteenth", "sixteenth", "seventeenth", "eighteenth", "nineteenth"};
const char *const englishTens[] = {"",      "",      "twenty",  "thirty", "forty",
                                   "fifty", "sixty", "seventy", "eighty", "ninety"};

// "einundzwanzig" for 21; 0 <= n < 1,000,000, otherwise empty.
QString germanCardinal(int n) {
    if (n < 0 || n >= 1000000)
        return {};
    if (n == 0)
        return QStringLiteral("null");
    QString word;
    if (n >= 1000)
        word = asMultiplier(germanBelow1000(n / 1000)) + QLatin1String("tausend");
    return word + germanBelow1000(n % 1000);
}

} // namespace

QString germanOrdinal(int n) {
    if (n < 1 || n >= 1000000)
        return {};
    QString word = germanCardinal(n);
    const int lastTwo = n % 100;
    if (lastTwo == 0 || lastTwo >= 20)
        return word + QLatin1String("ste");
    if (word.endsWith(QLatin1String("eins"))) {
        word.chop(4);
        return word + QLatin1String("erste");
    }
    if (word.endsWith(QLatin1String("drei"))) {
        word.chop(4);
        return word + QLatin1String("dritte");
    }
    if (word.endsWith(QLatin1String("sieben"))) {
        word.chop(6);
        return word + QLatin1String("siebte");
    }
    if (word.endsWith(QLatin1String("acht")))
        return word + QLatin1String("e");
    return word + QLatin1String("te");
}

QString germanYear(int year) {
    if (year >= 1100 && year <= 1999) {
        const int rest = year % 100;
        return germanBelow100(year / 100) + QLatin1String("hundert") +
               (rest ? germanBelow100(rest) : QString());
    }
    return QString::number(year);
}

QString germanFractionNoun(int d) {
    if (d == 2)
        return QStringLiteral("Halbe");
    // The noun is the ordinal's stem plus "el": "Drittel" from "dritte".
    QString ordinal = germanOrdinal(d);
    if (d < 3 || ordinal.isEmpty())
        return {};
    ordinal.chop(1); // the final e
    ordinal += QLatin1String("el");
    ordinal[0] = ordinal.at(0).toUpper();
    return ordinal;
}

QString englishOrdinal(int n) {
    if (n < 1 || n > 100)
        return {};
    if (n == 100)
        return QStringLiteral("hundredth");
    if (n < 20)
        return QString::fromLatin1(englishUnitOrdinals[n]);
    const QString tens = QString::fromLatin1(englishTens[n / 10]);
    if (n % 10 == 0)
        return tens.left(tens.size() - 1) + QLatin1String("ieth");
    return tens + QLatin1Char('-') + QString::fromLatin1(englishUnitOrdinals[n % 10]);
}

QString englishOrdinalSuffixed(int n) {
    const int lastTwo = n % 100;
    const char *suffix = "th";
    if (lastTwo < 11 || lastTwo > 13) {
        switch (n % 10) {
        case 1:
            suffix = "st";
            break;
        case 2:
            suffix = "nd";
            break;
        case 3:
            suffix = "rd";
            break;
        default:
            break;
        }
    }
    return QString::number(n) + QLatin1String(suffix);
}

} // namespace NumberWords

} // namespace parlino
