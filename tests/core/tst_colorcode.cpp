#include "editing/ColorCode.h"

#include <QTest>

using namespace parlino;

class TestColorCode : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
};

void TestColorCode::parse_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");

    QTest::newRow("pure red") << "FF0000" << 255 << 0 << 0;
    QTest::newRow("white, small letters") << "ffffff" << 255 << 255 << 255;
    QTest::newRow("Time colour") << "E9E393" << 233 << 227 << 147;
    QTest::newRow("number sign is not a digit") << "#FF0000" << 0 << 0 << 0;
    QTest::newRow("three digits are no shorthand") << "FFF" << 0 << 15 << 255;
    QTest::newRow("eight digits drop the top byte") << "AABBCCDD" << 0xBB << 0xCC << 0xDD;
    QTest::newRow("overflow saturates") << "123456789" << 255 << 255 << 255;
    QTest::newRow("leading white space") << " \t\n 00FF00" << 0 << 255 << 0;
    QTest::newRow("0x prefix") << "0x0000FF" << 0 << 0 << 255;
    QTest::newRow("0X prefix") << "0X8EAFE4" << 142 << 175 << 228;
    QTest::newRow("stops at first non-digit") << "12zz34" << 0 << 0 << 0x12;
    QTest::newRow("empty") << "" << 0 << 0 << 0;
    QTest::newRow("null") << QString() << 0 << 0 << 0;
    QTest::newRow("no digits") << "red" << 0 << 0 << 0;
    QTest::newRow("only 0x") << "0x" << 0 << 0 << 0;
}

void TestColorCode::parse() {
    QFETCH(QString, code);
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);
    const QColor color = colorWithHexCode(code);
    QCOMPARE(color.red(), red);
    QCOMPARE(color.green(), green);
    QCOMPARE(color.blue(), blue);
    QCOMPARE(color.alpha(), 255);
}

QTEST_GUILESS_MAIN(TestColorCode)
#include "tst_colorcode.moc"
