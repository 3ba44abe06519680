#include "widgets/MBProgressHUD.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QTest>

using namespace parlino;

// The progress overlay: where it goes, how long it stays, what it shows.
namespace {

QList<MBProgressHUD *> overlaysOn(const QWidget *host) {
    return host->findChildren<MBProgressHUD *>(Qt::FindDirectChildrenOnly);
}

} // namespace

class TestHud : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void briefMessageGoesToActiveWindowAndLeaves();
    void briefMessageWithoutActiveWindow();
    void lastingMessageDimsAndOutlivesABriefOne();

private:
    QMainWindow *m_window = nullptr;
    QWidget *m_content = nullptr;
};

void TestHud::init() {
    m_window = new QMainWindow;
    m_content = new QWidget;
    m_window->setCentralWidget(m_content);
    m_window->resize(400, 300);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void TestHud::cleanup() {
    delete m_window;
}

void TestHud::briefMessageGoesToActiveWindowAndLeaves() {
    QWidget elsewhere;
    QElapsedTimer clock;
    clock.start();
    MBProgressHUD::showSuccess(QStringLiteral("No Network"), &elsewhere);
    QVERIFY(overlaysOn(&elsewhere).isEmpty());
    QCOMPARE(overlaysOn(m_content).size(), 1);
    QPointer<MBProgressHUD> hud = overlaysOn(m_content).constFirst();
    QCOMPARE(hud->labelText(), QStringLiteral("No Network"));
    QCOMPARE(hud->mode(), MBProgressHUD::Mode::CustomView);
    QCOMPARE(hud->geometry(), m_content->rect());
    QFont bold = hud->font();
    bold.setBold(true);
    bold.setPixelSize(16);
    const int room = hud->panelRect().width() - 40; // the panel's inner margins
    QCOMPARE(QFontMetrics(bold).elidedText(hud->labelText(), Qt::ElideRight, room),
             hud->labelText());
    QTRY_VERIFY_WITH_TIMEOUT(hud.isNull(), 3000);
    QVERIFY2(clock.elapsed() >= 1000, "a brief message stays one second");
}

void TestHud::briefMessageWithoutActiveWindow() {
    QWidget other;
    other.show();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    other.hide();
    QTRY_VERIFY(!QApplication::activeWindow());
    // Given a view, it goes to the view's window.
    QLabel inside(m_content);
    MBProgressHUD::showError(QStringLiteral("Failed"), &inside);
    QCOMPARE(overlaysOn(m_content).size(), 1);
    m_window->hide();
    MBProgressHUD::showError(QStringLiteral("Failed"), m_content);
    QCOMPARE(overlaysOn(m_content).size(), 1); // its window is hidden
}

void TestHud::lastingMessageDimsAndOutlivesABriefOne() {
    QCOMPARE(MBProgressHUD::showMessage(QStringLiteral("Loading..."), nullptr), nullptr);
    QPointer<MBProgressHUD> hud =
        MBProgressHUD::showMessage(QStringLiteral("Loading..."), m_content);
    QVERIFY(hud);
    QCOMPARE(hud->detailsLabelText(), QStringLiteral("Loading..."));
    QCOMPARE(hud->mode(), MBProgressHUD::Mode::Indeterminate);
    QTRY_COMPARE(hud->fade(), 1.0);
    // Dimmed towards the corners, the panel dark in the middle.
    const QImage shot = m_content->grab().toImage();
    const QColor corner = shot.pixelColor(1, 1);
    const QColor centre = shot.pixelColor(hud->panelRect().center());
    QVERIFY2(corner.lightness() < 200, qPrintable(corner.name()));
    QVERIFY2(centre.lightness() < 120, qPrintable(centre.name()));
    // A brief message shown on top comes and goes; the lasting one stays.
    MBProgressHUD::showError(QStringLiteral("Busy"), m_content);
    QPointer<MBProgressHUD> brief = overlaysOn(m_content).constLast();
    QVERIFY(brief != hud);
    QTRY_VERIFY_WITH_TIMEOUT(brief.isNull(), 3000);
    QVERIFY(hud && hud->isVisible());
    m_window->resize(640, 480); // follows its host's size
    QTRY_COMPARE(hud->geometry(), m_content->rect());
    QCOMPARE(hud->panelRect().center(), hud->rect().center());
    hud->hideAnimated(true);
    QTRY_VERIFY(hud.isNull());
}

QTEST_MAIN(TestHud)
#include "tst_hud.moc"
