#include "synthesis/offline/sayas/SayAsReading.h"

#include "synthesis/offline/sayas/EnglishReader.h"
#include "synthesis/offline/sayas/FrenchReader.h"
#include "synthesis/offline/sayas/GermanReader.h"
#include "synthesis/offline/sayas/ItalianReader.h"
#include "synthesis/offline/sayas/JapaneseReader.h"
#include "synthesis/offline/sayas/PortugueseReader.h"
#include "synthesis/offline/sayas/SpanishReader.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringList>

namespace parlino {

namespace {

std::unique_ptr<const SayAsReader> readerFor(const QString &languageCode) {
    const QString language = languageCode.section(QLatin1Char('-'), 0, 0).toLower();
    const QString region = languageCode.section(QLatin1Char('-'), 1, 1).toUpper();
    const QLocale locale = languageCode.isEmpty() ? QLocale::c() : QLocale(languageCode);
    if (language == QLatin1String("en"))
        return std::make_unique<EnglishReader>(locale,
                                               region.isEmpty() || region == QLatin1String("US"));
    if (language == QLatin1String("de"))
        return std::make_unique<GermanReader>(locale);
    if (language == QLatin1String("fr"))
        return std::make_unique<FrenchReader>(locale);
    if (language == QLatin1String("es"))
        return std::make_unique<SpanishReader>(locale);
    if (language == QLatin1String("it"))
        return std::make_unique<ItalianReader>(locale);
    if (language == QLatin1String("ja"))
        return std::make_unique<JapaneseReader>(locale);
    if (language == QLatin1String("pt"))
        return std::make_unique<PortugueseReader>(locale);
    return std::make_unique<LocaleReader>(locale);
}

// The digit groups of a date text in the order of `fields` (d, m, y); one run
// of digits for several fields is cut into two digits each, the year taking
// the rest. Empty when the text does not fit the fields.
QStringList dateGroups(QStringView text, const QString &fields) {
    QStringList groups;
    static const QRegularExpression digits(QStringLiteral("\\d+"));
    for (auto it = digits.globalMatch(text); it.hasNext();)
        groups << it.next().captured();
    if (groups.size() == 1 && fields.size() > 1) {
        const QString run = groups.first();
        const qsizetype yearLength = run.size() - 2 * (fields.size() - 1);
        if (fields.contains(u'y') ? (yearLength != 2 && yearLength != 4)
                                  : run.size() != 2 * fields.size())
            return {};
        groups.clear();
        qsizetype at = 0;
        for (const QChar f : fields) {
            const qsizetype length = f == u'y' ? yearLength : 2;
            groups << run.mid(at, length);
            at += length;
        }
    }
    return groups.size() == fields.size() ? groups : QStringList();
}

// The fields a date format names, lower case, or empty when it is not one.
// "yyyymmdd" is "ymd" (its one run of digits is cut as any other).
QString dateFields(QStringView format) {
    QString fields = format.toString().toLower();
    if (fields == QLatin1String("yyyymmdd"))
        fields = QStringLiteral("ymd");
    if (fields.isEmpty() || fields.size() > 3)
        return {};
    for (const QChar f : fields) {
        if ((f != u'd' && f != u'm' && f != u'y') || fields.count(f) != 1)
            return {};
    }
    return fields;
}

bool isValidDate(const SayAsDate &date) {
    if (date.hasMonth() && (date.month < 1 || date.month > 12))
        return false;
    if (!date.hasDay())
        return true;
    if (date.day < 1 || date.day > 31)
        return false;
    // With no month or year the check uses a leap year, so 29 February passes.
    const int year = date.year >= 1 ? date.year : 2000;
    return !date.hasMonth() || QDate(year, date.month, date.day).isValid();
}

bool parseDate(QStringView text, QStringView format, SayAsDate *date) {
    static const QRegularExpression shape(
        QStringLiteral("^\\s*\\d+(?:\\s*[-/.,\\s]\\s*\\d+)*[.\\s]*$"));
    if (!shape.match(text).hasMatch())
        return false;
    const QString fields = dateFields(format);
    if (fields.isEmpty())
        return false;
    const QStringList groups = dateGroups(text, fields);
    if (groups.size() != fields.size())
        return false;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QString &group = groups.at(i);
        if (group.size() > 4)
            return false;
        const int value = group.toInt();
        if (fields.at(i) == u'd') {
            date->day = value;
        } else if (fields.at(i) == u'm') {
            date->month = value;
        } else {
            date->year = value;
            date->yearDigits = int(group.size());
        }
    }
    return isValidDate(*date);
}

bool parseTime(QStringView text, SayAsTime *time) {
    static const QRegularExpression shape(
        QStringLiteral("^\\s*(\\d{1,2})(?:\\s*[:.h]\\s*(\\d{2}))?(?:\\s*[:.]\\s*(\\d{2}))?\\s*"
                       "(?:([ap])\\.?\\s*m\\.?)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        return false;
    int hour = match.captured(1).toInt();
    time->minute = match.captured(2).toInt();
    time->second = match.captured(3).toInt();
    time->hasSeconds = !match.captured(3).isEmpty();
    const QString meridiem = match.captured(4).toLower();
    if (hour > 24 || time->minute > 59 || time->second > 59)
        return false;
    if (!meridiem.isEmpty()) {
        if (hour < 1 || hour > 12)
            return false;
        hour = hour % 12 + (meridiem == QLatin1String("p") ? 12 : 0);
    }
    time->hour = hour % 24;
    time->halfKnown = !meridiem.isEmpty() || time->hour == 0 || time->hour > 12;
    return true;
}

} // namespace

SayAsReading::SayAsReading(const QString &languageCode)
    : m_reader(readerFor(languageCode)) {}

SayAsReading::~SayAsReading() = default;
SayAsReading::SayAsReading(SayAsReading &&) noexcept = default;
SayAsReading &SayAsReading::operator=(SayAsReading &&) noexcept = default;

QString SayAsReading::date(QStringView text, QStringView format) const {
    SayAsDate date;
    return parseDate(text, format, &date) ? m_reader->date(date) : QString();
}

QString SayAsReading::time(QStringView text, bool twentyFourHour) const {
    SayAsTime time;
    time.twentyFourHour = twentyFourHour;
    return parseTime(text, &time) ? m_reader->time(time) : QString();
}

QString SayAsReading::ordinal(QStringView text) const {
    static const QRegularExpression shape(QStringLiteral("^\\s*(\\d{1,9})[^\\d\\s]{0,3}\\s*$"));
    const QRegularExpressionMatch match = shape.match(text);
    return match.hasMatch() ? m_reader->ordinal(match.captured(1).toInt()) : QString();
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
    const QString words = m_reader->fraction(numerator, denominator);
    if (match.captured(1).isEmpty())
        return words;
    return match.captured(1) + m_reader->mixedFractionJoiner() + words;
}

} // namespace parlino
