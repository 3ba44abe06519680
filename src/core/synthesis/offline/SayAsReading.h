#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

namespace parlino {

// Writes out, in words of one language, the say-as readings eSpeak NG ignores:
// dates, clock times, ordinals and fractions. The result is text that eSpeak
// reads correctly in that language (digits are kept where eSpeak reads them
// well). Each reader returns a null string when the text is not of its kind,
// so that the caller can leave the text as it is.
class SayAsReading {
public:
    // languageCode: a BCP 47 code such as "en-US" or "de-DE".
    explicit SayAsReading(const QString &languageCode);

    // format: "yyyymmdd" or the fields d, m, y in any order and any subset
    // ("dmy", "mdy", "ymd", "dm", "my", "y", ...). The fields of the text are
    // digits separated by - / . or spaces, or one run of digits.
    QString date(QStringView text, QStringView format) const;

    // "14:30", "14:30:15", "2:05 PM", "2pm", "9.15". twentyFourHour reads
    // the hour on the 24-hour clock where the language has both readings.
    QString time(QStringView text, bool twentyFourHour = false) const;

    // "3", "3rd", "3.".
    QString ordinal(QStringView text) const;

    // "3/4", "1 1/2", "1+1/2".
    QString fraction(QStringView text) const;

private:
    struct DateParts {
        int year = -1; // -1: not in the format
        int month = -1;
        int day = -1;
        int yearDigits = 0;
    };

    static bool parseDate(QStringView text, QStringView format, DateParts *parts);
    QString englishDate(const DateParts &parts) const;
    QString localeDate(const DateParts &parts) const;
    QString monthName(int month) const;
    QString fractionWords(int numerator, int denominator) const;

    QString m_language; // primary subtag, lower case: "en", "de"
    QString m_region;   // upper case: "US", "GB"; may be empty
    QLocale m_locale;
};

} // namespace parlino
