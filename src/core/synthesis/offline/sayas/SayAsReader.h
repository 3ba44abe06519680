#pragma once

#include <QLocale>
#include <QString>

namespace parlino {

// A date as read from a say-as date: -1 for a field the format leaves out.
struct SayAsDate {
    int year = -1;
    int month = -1; // 1 to 12
    int day = -1;   // 1 to 31, valid for the month
    int yearDigits = 0;

    bool hasYear() const { return year != -1; }
    bool hasMonth() const { return month != -1; }
    bool hasDay() const { return day != -1; }
};

// A clock time as read from a say-as time, on the 24-hour clock.
struct SayAsTime {
    int hour = 0; // 0 to 23
    int minute = 0;
    int second = 0;
    bool hasSeconds = false;
    // Whether morning or afternoon is known: from an am/pm suffix or a
    // 24-hour hour (0, or past 12).
    bool halfKnown = false;
    // Asked to be read on the 24-hour clock (say-as format hms24), where
    // the language reads both ways.
    bool twentyFourHour = false;

    int hour12() const { return hour % 12 == 0 ? 12 : hour % 12; }
};

// Writes say-as values out in the words of one language, as text that
// eSpeak NG then reads correctly in that language (digits are kept where
// eSpeak reads them well). The values arrive already read and checked.
class SayAsReader {
public:
    explicit SayAsReader(const QLocale &locale)
        : m_locale(locale) {}
    virtual ~SayAsReader() = default;
    SayAsReader(const SayAsReader &) = delete;
    SayAsReader &operator=(const SayAsReader &) = delete;

    virtual QString date(const SayAsDate &date) const = 0;
    virtual QString time(const SayAsTime &time) const = 0;
    virtual QString ordinal(int n) const = 0;
    // numerator / denominator, denominator > 0.
    virtual QString fraction(int numerator, int denominator) const = 0;
    // What joins the whole number of a mixed fraction to its fraction (" and ").
    virtual QString mixedFractionJoiner() const = 0;

protected:
    QString monthName(int month) const { return m_locale.monthName(month, QLocale::LongFormat); }
    const QLocale &locale() const { return m_locale; }

private:
    QLocale m_locale;
};

} // namespace parlino
