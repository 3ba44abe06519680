#include "widgets/DeferredIconStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>

#include <memory>

using namespace parlino;

// Button panels drawn stretched must be the very pixels the base style draws.
class TestDeferredIconStyle : public QObject {
    Q_OBJECT
private slots:
    void panelsMatchBaseStyle_data();
    void panelsMatchBaseStyle();
};

namespace {

QImage panel(const QStyle &style, const QStyleOption &option) {
    QImage image(option.rect.size() + QSize(4, 4), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(239, 239, 239));
    QPainter painter(&image);
    painter.translate(2, 2);
    style.drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &painter);
    return image;
}

} // namespace

void TestDeferredIconStyle::panelsMatchBaseStyle_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("isDefault");
    QTest::addColumn<QColor>("button");
    const int raised = QStyle::State_Enabled | QStyle::State_Raised;
    QTest::newRow("narrow") << QSize(17, 22) << raised << false << QColor();
    QTest::newRow("push") << QSize(80, 22) << raised << false << QColor();
    QTest::newRow("pop-up") << QSize(305, 22) << raised << false << QColor();
    QTest::newRow("default") << QSize(80, 22) << raised << true << QColor();
    QTest::newRow("coloured") << QSize(81, 23) << raised << false << QColor(255, 214, 102);
    QTest::newRow("down") << QSize(31, 21) << int(QStyle::State_Enabled | QStyle::State_On) << false
                          << QColor();
    QTest::newRow("hovered") << QSize(65, 23) << int(raised | QStyle::State_MouseOver) << false
                             << QColor(170, 220, 255);
    QTest::newRow("disabled") << QSize(136, 22) << int(QStyle::State_Raised) << false << QColor();
    QTest::newRow("tall") << QSize(120, 60) << raised << false << QColor();
}

void TestDeferredIconStyle::panelsMatchBaseStyle() {
    QFETCH(QSize, size);
    QFETCH(int, state);
    QFETCH(bool, isDefault);
    QFETCH(QColor, button);
    const std::unique_ptr<QStyle> base(QStyleFactory::create(QStringLiteral("Fusion")));
    DeferredIconStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
    QStyleOptionButton option;
    option.rect = QRect(QPoint(0, 0), size);
    option.state = QStyle::State(state);
    option.palette = base->standardPalette();
    if (button.isValid())
        option.palette.setColor(QPalette::Button, button);
    if (isDefault)
        option.features = QStyleOptionButton::DefaultButton;
    const QImage expected = panel(*base, option);
    QCOMPARE(panel(style, option), expected);
    // Once more, with the narrow panel now in the style's cache.
    QCOMPARE(panel(style, option), expected);
}

QTEST_MAIN(TestDeferredIconStyle)
#include "tst_deferrediconstyle.moc"
