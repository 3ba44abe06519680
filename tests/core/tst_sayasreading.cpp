#include "synthesis/offline/NumberWords.h"
#include "synthesis/offline/SayAsReading.h"

#include <QTest>

using namespace parlino;

namespace {

// kind is "date FORMAT", "time", "ordinal" or "fraction"; a null expected
// reading means the text is not one and is read as written.
void row(const char *name, const QString &kind, const QString &language, const QString &text,
         const QString &expected = QString()) {
    QTest::newRow(name) << kind << language << text << expected;
}

QString reading(const QString &kind, const QString &language, const QString &text) {
    const SayAsReading say(language);
    if (kind.startsWith(QLatin1String("date ")))
        return say.date(text, kind.mid(5));
    if (kind == QLatin1String("time"))
        return say.time(text);
    return kind == QLatin1String("ordinal") ? say.ordinal(text) : say.fraction(text);
}

void german(int n, const QString &cardinal, const QString &ordinal) {
    QTest::newRow(qPrintable(QString::number(n))) << n << cardinal << ordinal;
}

} // namespace

class TestSayAsReading : public QObject {
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void germanNumbers_data();
    void germanNumbers();
};

void TestSayAsReading::read_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    row("en-US dmy", "date dmy", "en-US", "10-09-1960", "September 10th, 19 60");
    row("en-US mdy slashes", "date mdy", "en-US", "9/10/1960", "September 10th, 19 60");
    row("en-US ymd, leap day", "date ymd", "en-US", "2024.02.29", "February 29th, 20 24");
    row("en-US yyyymmdd", "date yyyymmdd", "en-US", "19600910", "September 10th, 19 60");
    row("en-US digits run dmy", "date dmy", "en-US", "10091960", "September 10th, 19 60");
    row("en-US dm", "date dm", "en-US", "1/3", "March 1st");
    row("en-US my", "date my", "en-US", "07/1969", "July 19 69");
    row("en-US y", "date y", "en-US", "1905", "19 oh 5");
    row("en-US year 1900", "date y", "en-US", "1900", "19 hundred");
    row("en-US two-digit year", "date dmy", "en-US", "10.09.60", "September 10th, 60");
    row("en-GB dmy", "date dmy", "en-GB", "10/09/1960", "the 10th of September 19 60");
    row("de dmy", "date dmy", "de-DE", "10.09.1960", "zehnter September neunzehnhundertsechzig");
    row("de ymd 2000s", "date ymd", "de-DE", "2021-03-01", "erster März 2021");
    row("fr first of the month", "date dm", "fr-CA", "1/5", "1er mai");
    row("es dmy", "date dmy", "es-ES", "10/09/1960", "10 de septiembre de 1960");
    row("it first of the month", "date dm", "it-IT", "1/9", "1º settembre");
    row("ru genitive month", "date dmy", "ru-RU", "10.09.1960", "10 сентября 1960");
    row("hu year first", "date ymd", "hu-HU", "1960.09.10", "1960. szeptember 10.");
    row("ja kana counters", "date ymd", "ja-JP", "1960/9/10", "1960 ねん 9 がつ 10 にち");
    row("ar digits stay ASCII", "date dmy", "ar-XA", "10/09/1960", "10 سبتمبر 1960");
    row("month 13", "date dmy", "en-US", "10-13-1960");
    row("31 April", "date dmy", "en-US", "31-04-1960");
    row("29 February, no year", "date dm", "en-US", "29-02", "February 29th");
    row("29 February, common year", "date dmy", "en-US", "29-02-2023");
    row("date in words", "date dmy", "en-US", "ten Sept 1960");
    row("too many fields", "date dm", "en-US", "10-09-1960");
    row("unknown format", "date qq", "en-US", "10-09");
    row("repeated field", "date ddm", "en-US", "1-2-3");

    row("en 24-hour to 12-hour", "time", "en-US", "14:30", "2 30 p m");
    row("en with seconds", "time", "en-US", "14:30:15", "2 30 p m and 15 seconds");
    row("en PM with minutes under ten", "time", "en-US", "2:05 PM", "2 oh 5 p m");
    row("en a.m.", "time", "en-US", "9.15 a.m.", "9 15 a m");
    row("en midnight", "time", "en-US", "0:00", "12 a m");
    row("en noon, half of day unknown", "time", "en-US", "12:00", "12 o'clock");
    row("de", "time", "de-DE", "14:30", "14 Uhr 30");
    row("de one o'clock, pm", "time", "de-DE", "1:00 pm", "13 Uhr");
    row("fr", "time", "fr-FR", "14h30", "14 heures 30");
    row("es afternoon", "time", "es-ES", "14:30", "las 2 y 30 de la tarde");
    row("es one o'clock", "time", "es-ES", "1:00", "la una en punto");
    row("it", "time", "it-IT", "14:30", "le 14 e 30");
    row("other language 24-hour", "time", "pl-PL", "2:05 pm", "14:05");
    row("hour 25", "time", "en-US", "25:00");
    row("minute 60", "time", "en-US", "10:60");
    row("13 pm", "time", "en-US", "13:00 pm");
    row("time in words", "time", "en-US", "noon");

    row("en 11", "ordinal", "en-US", "11", "11th");
    row("en 21", "ordinal", "en-US", "21", "21st");
    row("en 112", "ordinal", "en-US", "112", "112th");
    row("en with suffix already", "ordinal", "en-US", "3rd", "3rd");
    row("de 3.", "ordinal", "de-DE", "3.", "dritte");
    row("de 21", "ordinal", "de-DE", "21", "einundzwanzigste");
    row("de beyond words", "ordinal", "de-DE", "1000000", "1000000");
    row("fr 1", "ordinal", "fr-FR", "1", "1er");
    row("fr 21", "ordinal", "fr-FR", "21", "21ème");
    row("es", "ordinal", "es-ES", "3", "3º");
    row("other language: the number", "ordinal", "pl-PL", "3.", "3");
    row("ordinal in words", "ordinal", "en-US", "third");
    row("two numbers", "ordinal", "en-US", "3 4");

    row("en half", "fraction", "en-US", "1/2", "one half");
    row("en three quarters", "fraction", "en-US", "3/4", "3 quarters");
    row("en twenty-firsts", "fraction", "en-US", "5/21", "5 twenty-firsts");
    row("en mixed with plus", "fraction", "en-US", "1+1/2", "1 and one half");
    row("en mixed with space", "fraction", "en-GB", "2 3/8", "2 and 3 eighths");
    row("en large denominator", "fraction", "en-US", "3/1000", "3 over 1000");
    row("de ein halb", "fraction", "de-DE", "1/2", "ein halb");
    row("de Halbe", "fraction", "de-DE", "3/2", "3 Halbe");
    row("de Drittel", "fraction", "de-DE", "1/3", "ein Drittel");
    row("de Achtel", "fraction", "de-DE", "5/8", "5 Achtel");
    row("de Zwanzigstel", "fraction", "de-DE", "1/20", "ein Zwanzigstel");
    row("de mixed", "fraction", "de-DE", "1 1/2", "1 und ein halb");
    row("fr quarts", "fraction", "fr-FR", "3/4", "3 quarts");
    row("fr cinquièmes", "fraction", "fr-FR", "2/5", "2 5èmes");
    row("es cuartos", "fraction", "es-ES", "3/4", "3 cuartos");
    row("es large", "fraction", "es-ES", "3/11", "3 sobre 11");
    row("it mixed", "fraction", "it-IT", "1+1/2", "1 e un mezzo");
    row("other language", "fraction", "sv-SE", "3/4", "3/4");
    row("zero denominator", "fraction", "en-US", "3/0");
    row("not a fraction", "fraction", "en-US", "3:4");
}

void TestSayAsReading::read() {
    QFETCH(QString, kind);
    QFETCH(QString, language);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const QString heard = reading(kind, language, text);
    QCOMPARE(heard.isNull(), expected.isNull());
    QCOMPARE(heard, expected);
}

void TestSayAsReading::germanNumbers_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("cardinal");
    QTest::addColumn<QString>("ordinal");
    german(1, "eins", "erste");
    german(3, "drei", "dritte");
    german(7, "sieben", "siebte");
    german(8, "acht", "achte");
    german(20, "zwanzig", "zwanzigste");
    german(21, "einundzwanzig", "einundzwanzigste");
    german(100, "einhundert", "einhundertste");
    german(101, "einhunderteins", "einhunderterste");
    german(101000, "einhunderteintausend", "einhunderteintausendste");
    german(999999, "neunhundertneunundneunzigtausendneunhundertneunundneunzig",
           "neunhundertneunundneunzigtausendneunhundertneunundneunzigste");
    german(1000000, QString(), QString()); // out of range
}

void TestSayAsReading::germanNumbers() {
    QFETCH(int, n);
    QFETCH(QString, cardinal);
    QFETCH(QString, ordinal);
    QCOMPARE(NumberWords::germanCardinal(n), cardinal);
    QCOMPARE(NumberWords::germanOrdinal(n), ordinal);
}

QTEST_GUILESS_MAIN(TestSayAsReading)
#include "tst_sayasreading.moc"
