#pragma once

#include <QString>
#include <QStringView>

#include <memory>

namespace parlino {

class SayAsReader;

// Reads the say-as values eSpeak NG ignores (dates, clock times, ordinals and
// fractions) from their text and has the language's SayAsReader write them
// out. Each returns a null string when the text is not of its kind, so that
// the caller can leave the text as it is.
class SayAsReading {
public:
    // languageCode: a BCP 47 code such as "en-US" or "de-DE".
    explicit SayAsReading(const QString &languageCode);
    ~SayAsReading();
    SayAsReading(SayAsReading &&) noexcept;
    SayAsReading &operator=(SayAsReading &&) noexcept;

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
    std::unique_ptr<const SayAsReader> m_reader;
};

} // namespace parlino
