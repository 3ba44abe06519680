#include "NotificationRecorder.h"
#include "editing/EffectKind.h"
#include "editing/PopoverViewController.h"
#include "editing/Stepper.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace parlino;

// The effect popover on its own: what it offers per type and what it posts.
class TestPopover : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void offersByType_data();
    void offersByType();
    void pickReportsValue_data();
    void pickReportsValue();
    void pickingTheSelectedItemAgainReportsIt();
    void stepperShowsAndReportsWholeSeconds();
    void returnInDurationField_data();
    void returnInDurationField();
    void returnInAliasField();
    void deleteButtonPostsForEveryType();
    void closesOnEscape();

private:
    PopoverViewController *open(const QString &type);

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

PopoverViewController *TestPopover::open(const QString &type) {
    auto *popover = new PopoverViewController(type, m_window);
    popover->showNextTo(m_button);
    if (!QTest::qWaitForWindowExposed(popover))
        return nullptr;
    return popover;
}

void TestPopover::offersByType_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<bool>("pause");
    QTest::addColumn<bool>("alias");
    QTest::newRow("Emphasis") << "Emphasis" << QStringList{"Strong", "Moderate", "None", "Reduced"}
                              << false << false;
    QTest::newRow("Date") << "Date" << QStringList{"yyyymmdd", "dm", "dmy", "mdy", "ymd"} << false
                          << false;
    QTest::newRow("Break") << "Break" << QStringList{} << true << false;
    QTest::newRow("Sub") << "Sub" << QStringList{} << false << true;
}

void TestPopover::offersByType() {
    QFETCH(QString, type);
    QFETCH(QStringList, items);
    QFETCH(bool, pause);
    QFETCH(bool, alias);
    PopoverViewController *popover = open(type);
    QVERIFY(popover);
    QCOMPARE(popover->popUpButton()->isVisible(), !items.isEmpty());
    QStringList shown;
    for (int i = 0; i < popover->popUpButton()->count(); ++i)
        shown << popover->popUpButton()->itemText(i);
    QCOMPARE(shown, items);
    QCOMPARE(popover->popUpButton()->currentIndex(), -1); // nothing looks chosen yet
    QCOMPARE(popover->customView()->isVisible(), pause);
    QCOMPARE(popover->subTextField()->isVisible(), alias);
    QVERIFY(popover->deleteButton()->isVisible());
    QVERIFY(m_recorder->posts.isEmpty());
}

void TestPopover::pickReportsValue_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("downs");
    QTest::addColumn<QString>("value");
    QTest::newRow("Volume Regular") << "Volume" << 3 << "medium";
    QTest::newRow("Say as Spell out numbers") << "Say as" << 5 << "verbatim";
    QTest::newRow("Emphasis Strong, the first item") << "Emphasis" << 1 << "strong";
    QTest::newRow("Date dm") << "Date" << 2 << "dm";
}

void TestPopover::pickReportsValue() {
    QFETCH(QString, type);
    QFETCH(int, downs);
    QFETCH(QString, value);
    PopoverViewController *popover = open(type);
    QVERIFY(popover);
    for (int i = 0; i < downs; ++i)
        QTest::keyClick(popover->popUpButton(), Qt::Key_Down);
    QVERIFY(!m_recorder->posts.isEmpty());
    const NotificationRecorder::Post &last = m_recorder->posts.last();
    QCOMPARE(last.name, QStringLiteral("PopUpSelectedReturn"));
    QCOMPARE(last.itemTitle().toString(), value);
    QCOMPARE(last.effects(), type);
    QCOMPARE(last.userInfo.size(), 2);
    QVERIFY(popover->isVisible()); // stays open after a pick
}

void TestPopover::pickingTheSelectedItemAgainReportsIt() {
    PopoverViewController *popover = open(QStringLiteral("Emphasis"));
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

void TestPopover::stepperShowsAndReportsWholeSeconds() {
    PopoverViewController *popover = open(QStringLiteral("Break"));
    QVERIFY(popover);
    QCOMPARE(popover->textField()->text(), QStringLiteral("1s"));
    Stepper *stepper = popover->stepperView();
    QTest::mouseClick(stepper->upButton(), Qt::LeftButton);
    QTest::mouseClick(stepper->upButton(), Qt::LeftButton);
    QCOMPARE(popover->textField()->text(), QStringLiteral("3s"));
    QCOMPARE(m_recorder->posts.size(), 2);
    const NotificationRecorder::Post &last = m_recorder->posts.last();
    QCOMPARE(last.name, QStringLiteral("BreakValueReturn"));
    QCOMPARE(last.itemTitle().typeId(), QMetaType::Int);
    QCOMPARE(last.itemTitle().toInt(), 3);
    QCOMPARE(last.effects(), QStringLiteral("Break"));
    for (int i = 0; i < 4; ++i)
        QTest::mouseClick(stepper->downButton(), Qt::LeftButton);
    QCOMPARE(popover->textField()->text(), QStringLiteral("1s"));
    QCOMPARE(m_recorder->posts.last().itemTitle().toInt(), 1);
}

void TestPopover::returnInDurationField_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("reported");
    QTest::newRow("seconds with s") << QString("10s") << QString("10");
    QTest::newRow("fraction") << QString("1.5") << QString("1.5");
    QTest::newRow("not a number, passed on") << QString("soon") << QString("oon");
}

void TestPopover::returnInDurationField() {
    QFETCH(QString, typed);
    QFETCH(QString, reported);
    PopoverViewController *popover = open(QStringLiteral("Break"));
    QVERIFY(popover);
    QLineEdit *field = popover->textField();
    QTest::keySequence(field, QKeySequence::SelectAll);
    QTest::keyClicks(field, typed);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(m_recorder->posts.size(), 1);
    QCOMPARE(m_recorder->posts.last().name, QStringLiteral("BreakValueReturn"));
    QCOMPARE(m_recorder->posts.last().itemTitle().typeId(), QMetaType::QString);
    QCOMPARE(m_recorder->posts.last().itemTitle().toString(), reported);
}

void TestPopover::returnInAliasField() {
    PopoverViewController *popover = open(QStringLiteral("Sub"));
    QVERIFY(popover);
    QVERIFY(popover->subTextField()->hasFocus());
    QTest::keyClicks(popover->subTextField(), "World Wide Web");
    QTest::keyClick(popover->subTextField(), Qt::Key_Return);
    QTest::keyClick(popover->subTextField(), Qt::Key_Enter);
    QCOMPARE(m_recorder->posts.size(), 2);
    for (const NotificationRecorder::Post &post : std::as_const(m_recorder->posts)) {
        QCOMPARE(post.name, QStringLiteral("PopUpSelectedReturn"));
        QCOMPARE(post.itemTitle().toString(), QStringLiteral("world wide web"));
        QCOMPARE(post.effects(), QStringLiteral("Sub"));
    }
}

void TestPopover::deleteButtonPostsForEveryType() {
    for (const QString type : {"Emphasis", "Say as", "Volume", "Date", "Sub", "Break"}) {
        m_recorder->posts.clear();
        PopoverViewController *popover = open(type);
        QVERIFY(popover);
        QTest::mouseClick(popover->deleteButton(), Qt::LeftButton);
        QCOMPARE(m_recorder->posts.size(), 1);
        QCOMPARE(m_recorder->posts.last().name, QStringLiteral("DeleteEffects"));
        QCOMPARE(m_recorder->posts.last().itemTitle().toString(), QStringLiteral("delete"));
        QCOMPARE(m_recorder->posts.last().effects(), type);
        popover->close();
    }
}

void TestPopover::closesOnEscape() {
    QPointer<PopoverViewController> popover = open(QStringLiteral("Emphasis"));
    QVERIFY(popover);
    QCOMPARE(QApplication::activePopupWidget(), popover.data());
    QTest::keyClick(popover->popUpButton(), Qt::Key_Escape);
    QTRY_VERIFY(popover.isNull());
}

QTEST_MAIN(TestPopover)
#include "tst_popover.moc"
