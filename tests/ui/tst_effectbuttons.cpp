#include "MainWindowController.h"
#include "SpanBuilders.h"
#include "ViewController.h"
#include "WidgetHelpers.h"
#include "editing/EffectKind.h"
#include "editing/PopoverViewController.h"
#include "editing/Stepper.h"
#include "settings/Settings.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <functional>

using namespace parlino;

// Effect buttons and the popover's choices, acting on the editor's selection.
namespace {

const QString sample = QStringLiteral("Call me at 10:30 on 2024-05-01, WWW.");
const QString pause = QString(QChar(0x23F8));

PopoverViewController *openPopover() {
    return qobject_cast<PopoverViewController *>(QApplication::activePopupWidget());
}

QString describe(const EffectsArray &spans) {
    QStringList parts;
    for (const SSMLCharactersModel &s : spans)
        parts << QStringLiteral("%1 [%2,%3) %4")
                     .arg(s.effects)
                     .arg(s.location)
                     .arg(s.end())
                     .arg(s.ssmlTag);
    return parts.join(QStringLiteral(", "));
}

} // namespace

using PopoverAction = std::function<void(PopoverViewController *)>;
Q_DECLARE_METATYPE(PopoverAction)

class TestEffectButtons : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void effectOverSelection_data();
    void effectOverSelection();
    void breakReplacesTheSelection();
    void breakAtCaret_data();
    void breakAtCaret();
    void pauseLengthFromStepperAndField();
    void deleteRemovesSpanAndItsColourOnly();
    void shortcutOpensThePopover();

private:
    void load(const QString &text, const EffectsArray &spans = {}) {
        loadText(m_view, text, spans);
    }
    void press(const QString &effect);

    MainWindowController *m_window = nullptr;
    ViewController *m_view = nullptr;
};

void TestEffectButtons::initTestCase() {
    m_window = new MainWindowController;
    m_view = m_window->viewController();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void TestEffectButtons::cleanup() {
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    // Offscreen, a closed pop-up leaves no window active, unlike a desktop.
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void TestEffectButtons::press(const QString &effect) {
    QPushButton *button = m_view->effectButton(effect);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

void TestEffectButtons::effectOverSelection_data() {
    QTest::addColumn<QString>("effect");
    QTest::addColumn<PopoverAction>("choose");
    QTest::addColumn<QString>("value");

    const auto downs = [](int n) {
        return PopoverAction([n](PopoverViewController *p) {
            for (int i = 0; i < n; ++i)
                QTest::keyClick(p->popUpButton(), Qt::Key_Down);
        });
    };
    QTest::newRow("Time applies at once") << "Time" << PopoverAction() << "time";
    QTest::newRow("Emphasis Moderate") << "Emphasis" << downs(2) << "moderate";
    QTest::newRow("Say as Cardinal") << "Say as" << downs(3) << "cardinal";
    QTest::newRow("Volume Very Soft") << "Volume" << downs(5) << "x-soft";
    QTest::newRow("Date dmy") << "Date" << downs(3) << "dmy";
    QTest::newRow("Date ymd") << "Date" << downs(5) << "ymd";
    QTest::newRow("Sub alias") << "Sub" << PopoverAction([](PopoverViewController *p) {
        QTest::keyClicks(p->subTextField(), "Mister");
        QTest::keyClick(p->subTextField(), Qt::Key_Return);
    }) << "mister";
}

void TestEffectButtons::effectOverSelection() {
    QFETCH(QString, effect);
    QFETCH(PopoverAction, choose);
    QFETCH(QString, value);
    load(sample);
    selectRange(m_view->textView(), 11, 16);
    press(effect);
    PopoverViewController *popover = openPopover();
    QCOMPARE(popover != nullptr, bool(choose));
    if (choose) {
        QCOMPARE(popover->type(), effect);
        QVERIFY(m_view->effectsArray().isEmpty()); // nothing until the user chooses
        choose(popover);
    }
    QCOMPARE(describe(m_view->effectsArray()), QStringLiteral("%1 [11,16) %2").arg(effect, value));
    QCOMPARE(m_view->effectsArray().constFirst().color, EffectKind::find(effect)->color());
    QCOMPARE(
        highlights(m_view->textView()->document()),
        QStringList{QStringLiteral("[11,16) %1").arg(EffectKind::find(effect)->color().name())});
    QCOMPARE(m_view->textView()->toPlainText(), sample);
}

void TestEffectButtons::breakReplacesTheSelection() {
    load(sample, {span(20, 30)});
    selectRange(m_view->textView(), 5, 10);
    press(QStringLiteral("Break"));
    QVERIFY(openPopover());
    QCOMPARE(m_view->textView()->toPlainText(), QString(sample).replace(5, 5, pause));
    QCOMPARE(describe(m_view->effectsArray()),
             QStringLiteral("Break [5,6) 1, Emphasis [16,26) strong"));
    QVERIFY(!m_view->effectsArray().constFirst().color.isValid());
    QCOMPARE(highlights(m_view->textView()->document()),
             QStringList{QStringLiteral("[16,26) #ebdaf2")});
    QCOMPARE(m_view->textView()->textCursor().position(), 6);
}

void TestEffectButtons::breakAtCaret_data() {
    QTest::addColumn<int>("caret");
    QTest::addColumn<bool>("inserted");
    QTest::newRow("strictly inside a span: no pause") << 15 << false;
    QTest::newRow("at a span's end") << 20 << true;
}

void TestEffectButtons::breakAtCaret() {
    QFETCH(int, caret);
    QFETCH(bool, inserted);
    load(sample, {span(10, 20)});
    placeCaret(m_view->textView(), caret);
    press(QStringLiteral("Break"));
    QVERIFY(openPopover()); // the popover opens either way
    const QString text = m_view->textView()->toPlainText();
    QCOMPARE(text, inserted ? QString(sample).insert(caret, pause) : sample);
    int pauses = 0;
    for (const SSMLCharactersModel &s : m_view->effectsArray()) {
        if (s.effects == QLatin1String("Break")) {
            ++pauses;
            QCOMPARE(s.location, caret);
            QCOMPARE(text.at(s.location), QChar(0x23F8));
        }
    }
    QCOMPARE(pauses, inserted ? 1 : 0);
}

void TestEffectButtons::pauseLengthFromStepperAndField() {
    load(sample);
    placeCaret(m_view->textView(), 4);
    press(QStringLiteral("Break"));
    PopoverViewController *popover = openPopover();
    QVERIFY(popover);
    QTest::mouseClick(popover->stepperView()->upButton(), Qt::LeftButton);
    QCOMPARE(describe(m_view->effectsArray()), QStringLiteral("Break [4,5) 2"));
    QLineEdit *field = popover->textField();
    QTest::keySequence(field, QKeySequence::SelectAll);
    QTest::keyClicks(field, "4.5s");
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(describe(m_view->effectsArray()), QStringLiteral("Break [4,5) 4.5"));
}

void TestEffectButtons::deleteRemovesSpanAndItsColourOnly() {
    // Two spans over one range: deleting the first leaves the second's colour.
    load(sample, {span(5, 10), span(5, 10, QStringLiteral("Volume"), QStringLiteral("loud")),
                  span(20, 25, QStringLiteral("Date"), QStringLiteral("dm"))});
    placeCaret(m_view->textView(), 7);
    press(QStringLiteral("Emphasis"));
    QTest::mouseClick(openPopover()->deleteButton(), Qt::LeftButton);
    QCOMPARE(describe(m_view->effectsArray()),
             QStringLiteral("Volume [5,10) loud, Date [20,25) dm"));
    QCOMPARE(highlights(m_view->textView()->document()),
             (QStringList{QStringLiteral("[5,10) #d5e9e2"), QStringLiteral("[20,25) #8eafe4")}));
    for (int i = 0; i < 3; ++i) // the third time nothing is left: harmless
        QTest::mouseClick(openPopover()->deleteButton(), Qt::LeftButton);
    QVERIFY(highlights(m_view->textView()->document()).isEmpty());
    QCOMPARE(m_view->textView()->toPlainText(), sample);
}

void TestEffectButtons::shortcutOpensThePopover() {
    load(sample);
    selectRange(m_view->textView(), 0, 4);
    QTest::keyClick(m_view->textView(), Qt::Key_1, Qt::ControlModifier);
    QTRY_VERIFY(openPopover()); // a shortcut clicks its button visibly, after a moment
    PopoverViewController *popover = openPopover();
    QCOMPARE(popover->type(), QStringLiteral("Emphasis"));
    popover->close();
    QTRY_VERIFY(m_view->textView()->hasFocus());
    QTest::keyClick(m_view->textView(), Qt::Key_5, Qt::ControlModifier);
    QTRY_COMPARE(describe(m_view->effectsArray()), QStringLiteral("Time [0,4) time"));
    // With the 24-hour preference a new Time span says so; the old one stays.
    Settings::setValue(Settings::Key::TwentyFourHourTime, QStringLiteral("true"));
    selectRange(m_view->textView(), 5, 9);
    QTest::keyClick(m_view->textView(), Qt::Key_5, Qt::ControlModifier);
    QTRY_VERIFY2(describe(m_view->effectsArray()).contains(QStringLiteral("Time [5,9) hms24")),
                 qPrintable(describe(m_view->effectsArray())));
    QVERIFY(describe(m_view->effectsArray()).contains(QStringLiteral("Time [0,4) time")));
    Settings::remove(Settings::Key::TwentyFourHourTime);
}

QTEST_MAIN(TestEffectButtons)
#include "tst_effectbuttons.moc"
