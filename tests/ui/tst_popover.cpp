#include "GoldenData.h"
#include "NotificationRecorder.h"
#include "editing/EffectKind.h"
#include "editing/PopoverViewController.h"
#include "editing/Stepper.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace parlino;

// The effect popover on its own, driven by keys and mouse: what it offers per
// kind and what it posts.
class TestPopover : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void pickReportsTheKindsValue_data();
    void pickReportsTheKindsValue();
    void pickingTheSelectedItemAgainReportsIt();
    void pauseFromStepperAndField();
    void aliasAndDelete();

private:
    PopoverViewController *open(EffectKind::Id type);

    QWidget *m_window = nullptr;
    QPushButton *m_button = nullptr;
    NotificationRecorder *m_recorder = nullptr;
};

void TestPopover::init() {
    m_window = new QWidget;
    m_window->resize(600, 400);
    m_button = new QPushButton(QStringLiteral("Effect"), m_window);
    m_button->move(250, 300);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    m_recorder = new NotificationRecorder;
}

void TestPopover::cleanup() {
    delete m_recorder;
    delete m_window; // closes and deletes any popover it parents
}

PopoverViewController *TestPopover::open(EffectKind::Id type) {
    auto *popover = new PopoverViewController(type, m_window);
    popover->showNextTo(m_button);
    if (!QTest::qWaitForWindowExposed(popover))
        return nullptr;
    return popover;
}

void TestPopover::pickReportsTheKindsValue_data() {
    QTest::addColumn<QStringList>("row");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/ui/popover-picks.tsv"))
        QTest::newRow(qPrintable(row.at(0))) << row;
}

void TestPopover::pickReportsTheKindsValue() {
    QFETCH(QStringList, row);
    const EffectKind *found = EffectKind::find(row.at(1));
    QVERIFY(found);
    const EffectKind &kind = *found;
    const int downs = row.at(2).toInt();
    PopoverViewController *popover = open(kind.id);
    QVERIFY(popover);
    QCOMPARE(popover->popUpButton()->count(), kind.options.size());
    QCOMPARE(popover->popUpButton()->currentIndex(), -1); // nothing looks chosen yet
    QVERIFY(!popover->customView()->isVisible());
    QVERIFY(m_recorder->posts.isEmpty());
    for (int i = 0; i < downs; ++i)
        QTest::keyClick(popover->popUpButton(), Qt::Key_Down);
    QCOMPARE(m_recorder->posts.size(), downs);
    const NotificationRecorder::Post &last = m_recorder->posts.last();
    QCOMPARE(last.name, QStringLiteral("PopUpSelectedReturn"));
    QCOMPARE(last.itemTitle().toString(), row.at(3));
    QCOMPARE(last.effects(), kind.id);
    QCOMPARE(last.userInfo.size(), 2);
    QVERIFY(popover->isVisible()); // stays open after a pick
}

void TestPopover::pickingTheSelectedItemAgainReportsIt() {
    PopoverViewController *popover = open(EffectKind::Emphasis);
    QVERIFY(popover);
    QComboBox *combo = popover->popUpButton();
    for (int round = 1; round <= 2; ++round) {
        combo->showPopup();
        QAbstractItemView *list = combo->view();
        QTRY_VERIFY(list->isVisible());
        const QRect item = list->visualRect(list->model()->index(0, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
        QTRY_COMPARE(m_recorder->posts.size(), round);
        QCOMPARE(m_recorder->posts.last().itemTitle().toString(), QStringLiteral("strong"));
    }
}

void TestPopover::pauseFromStepperAndField() {
    PopoverViewController *popover = open(EffectKind::Break);
    QVERIFY(popover);
    QVERIFY(!popover->popUpButton()->isVisible());
    QCOMPARE(popover->textField()->text(), QStringLiteral("1s"));
    Stepper *stepper = popover->stepperView();
    QTest::mouseClick(stepper->upButton(), Qt::LeftButton);
    QTest::mouseClick(stepper->upButton(), Qt::LeftButton);
    QCOMPARE(popover->textField()->text(), QStringLiteral("3s"));
    QCOMPARE(m_recorder->posts.size(), 2);
    QCOMPARE(m_recorder->posts.last().name, QStringLiteral("BreakValueReturn"));
    QCOMPARE(m_recorder->posts.last().itemTitle(), QVariant(3)); // a number
    QCOMPARE(m_recorder->posts.last().effects(), EffectKind::Break);
    for (int i = 0; i < 4; ++i) // not below one second
        QTest::mouseClick(stepper->downButton(), Qt::LeftButton);
    QCOMPARE(popover->textField()->text(), QStringLiteral("1s"));
    QLineEdit *field = popover->textField();
    QTest::keySequence(field, QKeySequence::SelectAll);
    QTest::keyClicks(field, "soon 1.5s");
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(m_recorder->posts.size(), 6); // refused in the field: nothing posted
    QVERIFY(popover->refusalLabel()->isVisible());
    QTest::keySequence(field, QKeySequence::SelectAll);
    QTest::keyClicks(field, "1.5s");
    QVERIFY(!popover->refusalLabel()->isVisible());
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(m_recorder->posts.last().itemTitle(), QVariant(QStringLiteral("1.5")));
}

void TestPopover::aliasAndDelete() {
    QPointer<PopoverViewController> popover = open(EffectKind::Sub);
    QVERIFY(popover);
    QVERIFY(popover->subTextField()->hasFocus());
    QTest::keyClicks(popover->subTextField(), "World Wide Web");
    QTest::keyClick(popover->subTextField(), Qt::Key_Return);
    QTest::keyClick(popover->subTextField(), Qt::Key_Enter);
    QCOMPARE(m_recorder->posts.size(), 2);
    QCOMPARE(m_recorder->posts.last().name, QStringLiteral("PopUpSelectedReturn"));
    QCOMPARE(m_recorder->posts.last().itemTitle().toString(), QStringLiteral("World Wide Web"));
    QTest::mouseClick(popover->deleteButton(), Qt::LeftButton);
    QCOMPARE(m_recorder->posts.last().name, QStringLiteral("DeleteEffects"));
    QCOMPARE(m_recorder->posts.last().itemTitle().toString(), QStringLiteral("delete"));
    QCOMPARE(m_recorder->posts.last().effects(), EffectKind::Sub);
    QCOMPARE(QApplication::activePopupWidget(), popover.data());
    QTest::keyClick(popover->subTextField(), Qt::Key_Escape);
    QTRY_VERIFY(popover.isNull());
}

QTEST_MAIN(TestPopover)
#include "tst_popover.moc"
