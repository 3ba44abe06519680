#include "synthesis/offline/NumberWords.h"
#include "synthesis/offline/SayAsReading.h"

#include <QTest>

class TestSayAsReading : public QObject {
    Q_OBJECT
private slots:
    void date_data();
    void date();
    void time_data();
    void time();
    void ordinal_data();
    void ordinal();
    void fraction_data();
    void fraction();
    void germanNumbers_data();
    void germanNumbers();
};

void TestSayAsReading::date_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // null: not a date

    QTest::newRow("en-US dmy") << "en-US"
                               << "dmy"
                               << "10-09-1960"
                               << "September 10th, 19 60";
    QTest::newRow("en-US mdy slashes") << "en-US"
                                       << "mdy"
                                       << "9/10/1960"
                                       << "September 10th, 19 60";
    QTest::newRow("en-US ymd") << "en-US"
                               << "ymd"
                               << "2024.02.29"
                               << "February 29th, 20 24";
    QTest::newRow("en-US yyyymmdd") << "en-US"
                                    << "yyyymmdd"
                                    << "19600910"
                                    << "September 10th, 19 60";
    QTest::newRow("en-US yyyymmdd with dashes") << "en-US"
                                                << "yyyymmdd"
                                                << "1960-09-10"
                                                << "September 10th, 19 60";
    QTest::newRow("en-US dm") << "en-US"
                              << "dm"
                              << "1/3"
                              << "March 1st";
    QTest::newRow("en-US my") << "en-US"
                              << "my"
                              << "07/1969"
                              << "July 19 69";
    QTest::newRow("en-US y") << "en-US"
                             << "y"
                             << "1905"
                             << "19 oh 5";
    QTest::newRow("en-US year 1900") << "en-US"
                                     << "y"
                                     << "1900"
                                     << "19 hundred";
    QTest::newRow("en-US two-digit year") << "en-US"
                                          << "dmy"
                                          << "10.09.60"
                                          << "September 10th, 60";
    QTest::newRow("en-US digits run dmy") << "en-US"
                                          << "dmy"
                                          << "10091960"
                                          << "September 10th, 19 60";
    QTest::newRow("en-GB dmy") << "en-GB"
                               << "dmy"
                               << "10/09/1960"
                               << "the 10th of September 19 60";
    QTest::newRow("de dmy") << "de-DE"
                            << "dmy"
                            << "10.09.1960"
                            << "zehnter September neunzehnhundertsechzig";
    QTest::newRow("de ymd 2000s") << "de-DE"
                                  << "ymd"
                                  << "2021-03-01"
                                  << "erster März 2021";
    QTest::newRow("fr dmy") << "fr-FR"
                            << "dmy"
                            << "10/09/1960"
                            << "10 septembre 1960";
    QTest::newRow("fr first of the month") << "fr-CA"
                                           << "dm"
                                           << "1/5"
                                           << "1er mai";
    QTest::newRow("es dmy") << "es-ES"
                            << "dmy"
                            << "10/09/1960"
                            << "10 de septiembre de 1960";
    QTest::newRow("es my") << "es-ES"
                           << "my"
                           << "09/1960"
                           << "septiembre de 1960";
    QTest::newRow("it dmy") << "it-IT"
                            << "dmy"
                            << "10/09/1960"
                            << "10 settembre 1960";
    QTest::newRow("it first of the month") << "it-IT"
                                           << "dm"
                                           << "1/9"
                                           << "1º settembre";
    QTest::newRow("pt-BR long format words") << "pt-BR"
                                             << "dmy"
                                             << "10/09/1960"
                                             << "10 de setembro de 1960";
    QTest::newRow("nl without weekday") << "nl-NL"
                                        << "dmy"
                                        << "10-09-1960"
                                        << "10 september 1960";
    QTest::newRow("ru genitive month, no abbreviation") << "ru-RU"
                                                        << "dmy"
                                                        << "10.09.1960"
                                                        << "10 сентября 1960";
    QTest::newRow("hu year first") << "hu-HU"
                                   << "ymd"
                                   << "1960.09.10"
                                   << "1960. szeptember 10.";
    QTest::newRow("ja kana counters") << "ja-JP"
                                      << "ymd"
                                      << "1960/9/10"
                                      << "1960 ねん 9 がつ 10 にち";
    QTest::newRow("ar digits stay ASCII") << "ar-XA"
                                          << "dmy"
                                          << "10/09/1960" << QString::fromUtf8("10 سبتمبر 1960");

    QTest::newRow("month 13") << "en-US"
                              << "dmy"
                              << "10-13-1960" << QString();
    QTest::newRow("31 April") << "en-US"
                              << "dmy"
                              << "31-04-1960" << QString();
    QTest::newRow("29 February, leap year") << "en-US"
                                            << "dmy"
                                            << "29-02-2024"
                                            << "February 29th, 20 24";
    QTest::newRow("29 February, no year") << "en-US"
                                          << "dm"
                                          << "29-02"
                                          << "February 29th";
    QTest::newRow("29 February, common year") << "en-US"
                                              << "dmy"
                                              << "29-02-2023" << QString();
    QTest::newRow("words") << "en-US"
                           << "dmy"
                           << "ten Sept 1960" << QString();
    QTest::newRow("too many fields") << "en-US"
                                     << "dm"
                                     << "10-09-1960" << QString();
    QTest::newRow("unknown format") << "en-US"
                                    << "qq"
                                    << "10-09" << QString();
    QTest::newRow("repeated field") << "en-US"
                                    << "ddm"
                                    << "1-2-3" << QString();
}

void TestSayAsReading::date() {
    QFETCH(QString, language);
    QFETCH(QString, format);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const QString reading = SayAsReading(language).date(text, format);
    QCOMPARE(reading.isNull(), expected.isNull());
    QCOMPARE(reading, expected);
}

void TestSayAsReading::time_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("en 24-hour to 12-hour") << "en-US"
                                           << "14:30"
                                           << "2 30 p m";
    QTest::newRow("en with seconds") << "en-US"
                                     << "14:30:15"
                                     << "2 30 p m and 15 seconds";
    QTest::newRow("en PM with minutes under ten") << "en-US"
                                                  << "2:05 PM"
                                                  << "2 oh 5 p m";
    QTest::newRow("en a.m.") << "en-US"
                             << "9.15 a.m."
                             << "9 15 a m";
    QTest::newRow("en midnight") << "en-US"
                                 << "0:00"
                                 << "12 a m";
    QTest::newRow("en noon, half of day unknown") << "en-US"
                                                  << "12:00"
                                                  << "12 o'clock";
    QTest::newRow("de") << "de-DE"
                        << "14:30"
                        << "14 Uhr 30";
    QTest::newRow("de one o'clock, pm") << "de-DE"
                                        << "1:00 pm"
                                        << "13 Uhr";
    QTest::newRow("fr") << "fr-FR"
                        << "14h30"
                        << "14 heures 30";
    QTest::newRow("es afternoon") << "es-ES"
                                  << "14:30"
                                  << "las 2 y 30 de la tarde";
    QTest::newRow("es one o'clock") << "es-ES"
                                    << "1:00"
                                    << "la una en punto";
    QTest::newRow("it") << "it-IT"
                        << "14:30"
                        << "le 14 e 30";
    QTest::newRow("other language 24-hour") << "pl-PL"
                                            << "2:05 pm"
                                            << "14:05";
    QTest::newRow("hour 25") << "en-US"
                             << "25:00" << QString();
    QTest::newRow("minute 60") << "en-US"
                               << "10:60" << QString();
    QTest::newRow("13 pm") << "en-US"
                           << "13:00 pm" << QString();
    QTest::newRow("words") << "en-US"
                           << "noon" << QString();
}

void TestSayAsReading::time() {
    QFETCH(QString, language);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const QString reading = SayAsReading(language).time(text);
    QCOMPARE(reading.isNull(), expected.isNull());
    QCOMPARE(reading, expected);
}

void TestSayAsReading::ordinal_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("en 1") << "en-US"
                          << "1"
                          << "1st";
    QTest::newRow("en 11") << "en-US"
                           << "11"
                           << "11th";
    QTest::newRow("en 21") << "en-US"
                           << "21"
                           << "21st";
    QTest::newRow("en 112") << "en-US"
                            << "112"
                            << "112th";
    QTest::newRow("en with suffix already") << "en-US"
                                            << "3rd"
                                            << "3rd";
    QTest::newRow("de 3") << "de-DE"
                          << "3."
                          << "dritte";
    QTest::newRow("de 21") << "de-DE"
                           << "21"
                           << "einundzwanzigste";
    QTest::newRow("de beyond words") << "de-DE"
                                     << "1000000"
                                     << "1000000";
    QTest::newRow("fr 1") << "fr-FR"
                          << "1"
                          << "1er";
    QTest::newRow("fr 21") << "fr-FR"
                           << "21"
                           << "21ème";
    QTest::newRow("es") << "es-ES"
                        << "3"
                        << "3º";
    QTest::newRow("it") << "it-IT"
                        << "21"
                        << "21º";
    QTest::newRow("other language: the number") << "pl-PL"
                                                << "3."
                                                << "3";
    QTest::newRow("not a number") << "en-US"
                                  << "third" << QString();
    QTest::newRow("two numbers") << "en-US"
                                 << "3 4" << QString();
}

void TestSayAsReading::ordinal() {
    QFETCH(QString, language);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const QString reading = SayAsReading(language).ordinal(text);
    QCOMPARE(reading.isNull(), expected.isNull());
    QCOMPARE(reading, expected);
}

void TestSayAsReading::fraction_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("en half") << "en-US"
                             << "1/2"
                             << "one half";
    QTest::newRow("en three quarters") << "en-US"
                                       << "3/4"
                                       << "3 quarters";
    QTest::newRow("en twenty-firsts") << "en-US"
                                      << "5/21"
                                      << "5 twenty-firsts";
    QTest::newRow("en mixed with plus") << "en-US"
                                        << "1+1/2"
                                        << "1 and one half";
    QTest::newRow("en mixed with space") << "en-GB"
                                         << "2 3/8"
                                         << "2 and 3 eighths";
    QTest::newRow("en large denominator") << "en-US"
                                          << "3/1000"
                                          << "3 over 1000";
    QTest::newRow("de drei Viertel") << "de-DE"
                                     << "3/4"
                                     << "3 Viertel";
    QTest::newRow("de ein halb") << "de-DE"
                                 << "1/2"
                                 << "ein halb";
    QTest::newRow("de Halbe") << "de-DE"
                              << "3/2"
                              << "3 Halbe";
    QTest::newRow("de Drittel") << "de-DE"
                                << "1/3"
                                << "ein Drittel";
    QTest::newRow("de Achtel") << "de-DE"
                               << "5/8"
                               << "5 Achtel";
    QTest::newRow("de Zwanzigstel") << "de-DE"
                                    << "1/20"
                                    << "ein Zwanzigstel";
    QTest::newRow("de mixed") << "de-DE"
                              << "1 1/2"
                              << "1 und ein halb";
    QTest::newRow("fr quarts") << "fr-FR"
                               << "3/4"
                               << "3 quarts";
    QTest::newRow("fr cinquièmes") << "fr-FR"
                                   << "2/5"
                                   << "2 5èmes";
    QTest::newRow("es cuartos") << "es-ES"
                                << "3/4"
                                << "3 cuartos";
    QTest::newRow("es large") << "es-ES"
                              << "3/11"
                              << "3 sobre 11";
    QTest::newRow("it mixed") << "it-IT"
                              << "1+1/2"
                              << "1 e un mezzo";
    QTest::newRow("other language") << "sv-SE"
                                    << "3/4"
                                    << "3/4";
    QTest::newRow("zero denominator") << "en-US"
                                      << "3/0" << QString();
    QTest::newRow("not a fraction") << "en-US"
                                    << "3:4" << QString();
}

void TestSayAsReading::fraction() {
    QFETCH(QString, language);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const QString reading = SayAsReading(language).fraction(text);
    QCOMPARE(reading.isNull(), expected.isNull());
    QCOMPARE(reading, expected);
}

void TestSayAsReading::germanNumbers_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("cardinal");
    QTest::addColumn<QString>("ordinal");

    QTest::newRow("1") << 1 << "eins"
                       << "erste";
    QTest::newRow("3") << 3 << "drei"
                       << "dritte";
    QTest::newRow("7") << 7 << "sieben"
                       << "siebte";
    QTest::newRow("8") << 8 << "acht"
                       << "achte";
    QTest::newRow("17") << 17 << "siebzehn"
                        << "siebzehnte";
    QTest::newRow("20") << 20 << "zwanzig"
                        << "zwanzigste";
    QTest::newRow("21") << 21 << "einundzwanzig"
                        << "einundzwanzigste";
    QTest::newRow("100") << 100 << "einhundert"
                         << "einhundertste";
    QTest::newRow("101") << 101 << "einhunderteins"
                         << "einhunderterste";
    QTest::newRow("103") << 103 << "einhundertdrei"
                         << "einhundertdritte";
    QTest::newRow("1000") << 1000 << "eintausend"
                          << "eintausendste";
    QTest::newRow("101000") << 101000 << "einhunderteintausend"
                            << "einhunderteintausendste";
    QTest::newRow("999999") << 999999 << "neunhundertneunundneunzigtausendneunhundertneunundneunzig"
                            << "neunhundertneunundneunzigtausendneunhundertneunundneunzigste";
    QTest::newRow("out of range") << 1000000 << QString() << QString();
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
