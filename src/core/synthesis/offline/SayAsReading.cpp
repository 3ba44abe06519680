#include "synthesis/offline/SayAsReading.h"

#include "synthesis/offline/NumberWords.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringList>

#include <vector>

namespace parlino {

namespace {

QString lang(const QString &code) {
    return code.section(QLatin1Char('-'), 0, 0).toLower();
}

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

// A piece of a locale's long date format: a field (d, M, y; weekday as 'w')
// with what is written right after it, or text between fields.
struct FormatPiece {
    QChar field; // 'd', 'M', 'y', 'w' or null for text between fields
    int count = 0;
    QString suffix; // text glued to the field ("d." "yyyy年")
    QString text;   // for text between fields
};

QString unquote(QStringView format, qsizetype *pos) {
    QString out;
    qsizetype i = *pos + 1;
    for (; i < format.size(); ++i) {
        if (format.at(i) == u'\'') {
            if (i + 1 < format.size() && format.at(i + 1) == u'\'') {
                out += QLatin1Char('\'');
                ++i;
                continue;
            }
            break;
        }
        out += format.at(i);
    }
    *pos = i + 1;
    return out;
}

std::vector<FormatPiece> splitFormat(QStringView format) {
    std::vector<FormatPiece> pieces;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format.at(i);
        if (c == u'd' || c == u'M' || c == u'y') {
            qsizetype j = i;
            while (j < format.size() && format.at(j) == c)
                ++j;
            FormatPiece piece;
            piece.count = int(j - i);
            piece.field = (c == u'd' && piece.count >= 3) ? QChar(u'w') : c;
            i = j;
            // Text glued to the field, up to the next space or field letter.
            while (i < format.size() && !format.at(i).isSpace() && format.at(i) != u',' &&
                   format.at(i) != u'd' && format.at(i) != u'M' && format.at(i) != u'y') {
                if (format.at(i) == u'\'')
                    piece.suffix += unquote(format, &i);
                else
                    piece.suffix += format.at(i++);
            }
            pieces.push_back(piece);
            continue;
        }
        if (pieces.empty() || !pieces.back().field.isNull())
            pieces.push_back(FormatPiece());
        if (c == u'\'')
            pieces.back().text += unquote(format, &i);
        else
            pieces.back().text += format.at(i++);
    }
    return pieces;
}

QString spanish(int n, const char *singular) {
    return n == 1 ? QString::fromUtf8(singular) : QString::fromUtf8(singular) + QLatin1Char('s');
}

} // namespace

SayAsReading::SayAsReading(const QString &languageCode)
    : m_language(lang(languageCode))
    , m_region(languageCode.section(QLatin1Char('-'), 1, 1).toUpper())
    , m_locale(languageCode.isEmpty() ? QLocale::c() : QLocale(languageCode)) {}

bool SayAsReading::parseDate(QStringView text, QStringView format, DateParts *parts) {
    static const QRegularExpression shape(
        QStringLiteral("^\\s*\\d+(?:\\s*[-/.,\\s]\\s*\\d+)*[.\\s]*$"));
    if (!shape.match(text).hasMatch())
        return false;
    QStringList groups;
    static const QRegularExpression digits(QStringLiteral("\\d+"));
    for (auto it = digits.globalMatch(text); it.hasNext();)
        groups << it.next().captured();

    QString fields = format.toString().toLower();
    if (fields == QLatin1String("yyyymmdd")) {
        fields = QStringLiteral("ymd");
        if (groups.size() == 1 && groups.first().size() == 8)
            groups = {groups.first().left(4), groups.first().mid(4, 2), groups.first().mid(6)};
    }
    if (fields.isEmpty() || fields.size() > 3)
        return false;
    for (const QChar f : fields) {
        if ((f != u'd' && f != u'm' && f != u'y') || fields.count(f) != 1)
            return false;
    }
    // One run of digits for several fields: two digits each, the year takes the rest.
    if (groups.size() == 1 && fields.size() > 1) {
        const QString run = groups.first();
        const qsizetype yearLength = run.size() - 2 * (fields.size() - 1);
        if (fields.contains(u'y') ? (yearLength != 2 && yearLength != 4)
                                  : run.size() != 2 * fields.size())
            return false;
        groups.clear();
        qsizetype at = 0;
        for (const QChar f : fields) {
            const qsizetype length = f == u'y' ? yearLength : 2;
            groups << run.mid(at, length);
            at += length;
        }
    }
    if (groups.size() != fields.size())
        return false;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QString &group = groups.at(i);
        if (group.size() > 4)
            return false;
        const int value = group.toInt();
        switch (fields.at(i).unicode()) {
        case u'd':
            parts->day = value;
            break;
        case u'm':
            parts->month = value;
            break;
        default:
            parts->year = value;
            parts->yearDigits = int(group.size());
            break;
        }
    }
    if (parts->month != -1 && (parts->month < 1 || parts->month > 12))
        return false;
    if (parts->day != -1) {
        if (parts->day < 1 || parts->day > 31)
            return false;
        // With no month or year the check uses a leap year, so 29 February passes.
        const int year = parts->year >= 1 ? parts->year : 2000;
        if (parts->month != -1 && !QDate(year, parts->month, parts->day).isValid())
            return false;
    }
    return true;
}

QString SayAsReading::monthName(int month) const {
    return m_locale.monthName(month, QLocale::LongFormat);
}

QString SayAsReading::date(QStringView text, QStringView format) const {
    DateParts parts;
    if (!parseDate(text, format, &parts))
        return {};
    if (m_language == QLatin1String("en"))
        return englishDate(parts);

    QStringList words;
    const bool hasDay = parts.day != -1;
    const bool hasMonth = parts.month != -1;
    const bool hasYear = parts.year != -1;
    if (m_language == QLatin1String("de")) {
        if (hasDay)
            words << NumberWords::germanOrdinal(parts.day) + QLatin1Char('r');
        if (hasMonth)
            words << monthName(parts.month);
        if (hasYear)
            words << NumberWords::germanYear(parts.year);
        return words.join(QLatin1Char(' '));
    }
    if (m_language == QLatin1String("fr") || m_language == QLatin1String("it")) {
        if (hasDay) {
            if (parts.day == 1)
                words << (m_language == QLatin1String("fr") ? QStringLiteral("1er")
                                                            : QStringLiteral("1º"));
            else
                words << QString::number(parts.day);
        }
        if (hasMonth)
            words << monthName(parts.month);
        if (hasYear)
            words << QString::number(parts.year);
        return words.join(QLatin1Char(' '));
    }
    if (m_language == QLatin1String("es")) {
        if (hasDay)
            words << QString::number(parts.day);
        if (hasMonth)
            words << monthName(parts.month);
        if (hasYear)
            words << QString::number(parts.year);
        return words.join(QLatin1String(" de "));
    }
    return localeDate(parts);
}

QString SayAsReading::englishDate(const DateParts &parts) const {
    const QString day =
        parts.day != -1 ? NumberWords::englishOrdinalSuffixed(parts.day) : QString();
    const QString month = parts.month != -1 ? monthName(parts.month) : QString();
    const QString year = parts.year != -1 ? englishYear(parts.year, parts.yearDigits) : QString();
    QString out;
    if (m_region == QLatin1String("US") || m_region.isEmpty()) {
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

// Any other language: the fields in the order of the language's long date
// format, with the words that format puts between them, without the weekday.
QString SayAsReading::localeDate(const DateParts &parts) const {
    const std::vector<FormatPiece> pieces = splitFormat(m_locale.dateFormat(QLocale::LongFormat));
    QString out;
    QString between;
    bool first = true;
    for (const FormatPiece &piece : pieces) {
        if (piece.field.isNull()) {
            between = piece.text;
            continue;
        }
        QString value;
        if (piece.field == u'd' && parts.day != -1)
            value = QString::number(parts.day);
        else if (piece.field == u'M' && parts.month != -1)
            value = piece.count >= 3 ? monthName(parts.month) : QString::number(parts.month);
        else if (piece.field == u'y' && parts.year != -1)
            value = QString::number(parts.year);
        if (value.isEmpty()) {
            if (first)
                between.clear();
            continue;
        }
        if (!first)
            out += between.isEmpty() ? QStringLiteral(" ") : between;
        out += value + piece.suffix;
        between.clear();
        first = false;
    }
    if (m_language == QLatin1String("ja")) {
        // eSpeak reads kana but not kanji.
        out.replace(QStringLiteral("年"), QStringLiteral(" ねん "));
        out.replace(QStringLiteral("月"), QStringLiteral(" がつ "));
        out.replace(QStringLiteral("日"), QStringLiteral(" にち"));
    }
    return out.simplified();
}

QString SayAsReading::time(QStringView text, bool twentyFourHour) const {
    static const QRegularExpression shape(
        QStringLiteral("^\\s*(\\d{1,2})(?:\\s*[:.h]\\s*(\\d{2}))?(?:\\s*[:.]\\s*(\\d{2}))?\\s*"
                       "(?:([ap])\\.?\\s*m\\.?)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        return {};
    int hour = match.captured(1).toInt();
    const int minute = match.captured(2).toInt();
    const int second = match.captured(3).toInt();
    const QString meridiem = match.captured(4).toLower();
    if (hour > 24 || minute > 59 || second > 59)
        return {};
    if (!meridiem.isEmpty()) {
        if (hour < 1 || hour > 12)
            return {};
        hour = hour % 12 + (meridiem == QLatin1String("p") ? 12 : 0);
    }
    hour %= 24;
    // Whether morning or afternoon is known: from the suffix or a 24-hour hour.
    const bool halfKnown = !meridiem.isEmpty() || hour == 0 || hour > 12;
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    const bool hasSeconds = !match.captured(3).isEmpty();

    if (m_language == QLatin1String("en") && twentyFourHour) {
        // "fourteen thirty", "nine oh five", "fourteen hundred".
        QString out = QString::number(hour);
        if (minute == 0)
            out += QLatin1String(" hundred");
        else if (minute < 10)
            out += QStringLiteral(" oh %1").arg(minute);
        else
            out += QStringLiteral(" %1").arg(minute);
        if (hasSeconds && second > 0)
            out += QStringLiteral(" and %1 second%2").arg(second).arg(second == 1 ? "" : "s");
        return out;
    }
    if (m_language == QLatin1String("en")) {
        QString out = QString::number(hour12);
        if (minute == 0 && !halfKnown)
            out += QLatin1String(" o'clock");
        else if (minute > 0 && minute < 10)
            out += QStringLiteral(" oh %1").arg(minute);
        else if (minute >= 10)
            out += QStringLiteral(" %1").arg(minute);
        if (halfKnown)
            out += hour < 12 ? QLatin1String(" a m") : QLatin1String(" p m");
        if (hasSeconds && second > 0)
            out += QStringLiteral(" and %1 second%2").arg(second).arg(second == 1 ? "" : "s");
        return out;
    }
    if (m_language == QLatin1String("de")) {
        QString out =
            (hour == 1 ? QStringLiteral("ein") : QString::number(hour)) + QLatin1String(" Uhr");
        if (minute > 0)
            out += QStringLiteral(" %1").arg(minute);
        if (hasSeconds && second > 0)
            out += QStringLiteral(" und %1 Sekunde%2").arg(second).arg(second == 1 ? "" : "n");
        return out;
    }
    if (m_language == QLatin1String("fr")) {
        QString out =
            hour == 1 ? QStringLiteral("une heure") : QStringLiteral("%1 heures").arg(hour);
        if (minute > 0)
            out += QStringLiteral(" %1").arg(minute);
        if (hasSeconds && second > 0)
            out += QStringLiteral(" et %1 seconde%2").arg(second).arg(second == 1 ? "" : "s");
        return out;
    }
    if (m_language == QLatin1String("es")) {
        const int said = twentyFourHour ? hour : hour12;
        QString out = said == 1 ? QStringLiteral("la una") : QStringLiteral("las %1").arg(said);
        out += minute == 0 ? QStringLiteral(" en punto") : QStringLiteral(" y %1").arg(minute);
        if (hasSeconds && second > 0)
            out += QStringLiteral(" y %1 segundo%2").arg(second).arg(second == 1 ? "" : "s");
        if (halfKnown && !twentyFourHour)
            out += hour < 12   ? QStringLiteral(" de la mañana")
                   : hour < 20 ? QStringLiteral(" de la tarde")
                               : QStringLiteral(" de la noche");
        return out;
    }
    if (m_language == QLatin1String("it")) {
        QString out = hour == 1   ? QStringLiteral("l'una")
                      : hour == 0 ? QStringLiteral("mezzanotte")
                                  : QStringLiteral("le %1").arg(hour);
        if (minute > 0)
            out += QStringLiteral(" e %1").arg(minute);
        if (hasSeconds && second > 0)
            out += QStringLiteral(" e %1 second%2").arg(second).arg(second == 1 ? "o" : "i");
        return out;
    }
    // Elsewhere eSpeak reads "14:30" as two numbers, which is how most languages say it.
    QString out = QStringLiteral("%1:%2").arg(hour).arg(minute, 2, 10, QLatin1Char('0'));
    if (hasSeconds)
        out += QStringLiteral(":%1").arg(second, 2, 10, QLatin1Char('0'));
    return out;
}

QString SayAsReading::ordinal(QStringView text) const {
    static const QRegularExpression shape(QStringLiteral("^\\s*(\\d{1,9})[^\\d\\s]{0,3}\\s*$"));
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        return {};
    const int n = match.captured(1).toInt();
    if (m_language == QLatin1String("en"))
        return NumberWords::englishOrdinalSuffixed(n);
    if (m_language == QLatin1String("de")) {
        const QString word = NumberWords::germanOrdinal(n);
        return word.isEmpty() ? QString::number(n) : word;
    }
    if (m_language == QLatin1String("fr"))
        return n == 1 ? QStringLiteral("1er") : QStringLiteral("%1ème").arg(n);
    if (m_language == QLatin1String("es") || m_language == QLatin1String("it") ||
        m_language == QLatin1String("pt"))
        return QStringLiteral("%1º").arg(n);
    return QString::number(n);
}

QString SayAsReading::fraction(QStringView text) const {
    static const QRegularExpression shape(QStringLiteral(
        "^\\s*(?:(\\d{1,9})\\s*(?:\\+\\s*|\\s+))?(\\d{1,9})\\s*/\\s*(\\d{1,9})\\s*$"));
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        return {};
    const int numerator = match.captured(2).toInt();
    const int denominator = match.captured(3).toInt();
    if (denominator == 0)
        return {};
    const QString words = fractionWords(numerator, denominator);
    if (match.captured(1).isEmpty())
        return words;
    QString joiner = QStringLiteral(" ");
    if (m_language == QLatin1String("en"))
        joiner = QStringLiteral(" and ");
    else if (m_language == QLatin1String("de"))
        joiner = QStringLiteral(" und ");
    else if (m_language == QLatin1String("fr"))
        joiner = QStringLiteral(" et ");
    else if (m_language == QLatin1String("es"))
        joiner = QStringLiteral(" y ");
    else if (m_language == QLatin1String("it"))
        joiner = QStringLiteral(" e ");
    return match.captured(1) + joiner + words;
}

QString SayAsReading::fractionWords(int numerator, int denominator) const {
    const QString num = QString::number(numerator);
    const bool one = numerator == 1;
    if (m_language == QLatin1String("en")) {
        QString noun;
        if (denominator == 2)
            noun = one ? QStringLiteral("half") : QStringLiteral("halves");
        else if (denominator == 4)
            noun = one ? QStringLiteral("quarter") : QStringLiteral("quarters");
        else if (!NumberWords::englishOrdinal(denominator).isEmpty())
            noun = NumberWords::englishOrdinal(denominator) + (one ? "" : "s");
        if (noun.isEmpty())
            return QStringLiteral("%1 over %2").arg(numerator).arg(denominator);
        return (one ? QStringLiteral("one") : num) + QLatin1Char(' ') + noun;
    }
    if (m_language == QLatin1String("de")) {
        const QString noun = denominator == 2 && one ? QStringLiteral("halb")
                                                     : NumberWords::germanFractionNoun(denominator);
        if (noun.isEmpty())
            return QStringLiteral("%1 durch %2").arg(numerator).arg(denominator);
        return (one ? QStringLiteral("ein") : num) + QLatin1Char(' ') + noun;
    }
    if (m_language == QLatin1String("fr")) {
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
        return (one ? QStringLiteral("un") : num) + QLatin1Char(' ') + noun;
    }
    if (m_language == QLatin1String("es") || m_language == QLatin1String("it")) {
        const bool es = m_language == QLatin1String("es");
        static const char *const spanishNouns[] = {"medio",   "tercio", "cuarto", "quinto", "sexto",
                                                   "séptimo", "octavo", "noveno", "décimo"};
        static const char *const italianNouns[] = {"mezzo",   "terzo",  "quarto", "quinto", "sesto",
                                                   "settimo", "ottavo", "nono",   "decimo"};
        if (denominator < 2 || denominator > 10)
            return es ? QStringLiteral("%1 sobre %2").arg(numerator).arg(denominator)
                      : QStringLiteral("%1 fratto %2").arg(numerator).arg(denominator);
        QString noun;
        if (es) {
            noun = spanish(numerator, spanishNouns[denominator - 2]);
        } else {
            noun = QString::fromUtf8(italianNouns[denominator - 2]);
            if (!one)
                noun[noun.size() - 1] = u'i';
        }
        return (one ? QStringLiteral("un") : num) + QLatin1Char(' ') + noun;
    }
    return QStringLiteral("%1/%2").arg(numerator).arg(denominator);
}

} // namespace parlino
