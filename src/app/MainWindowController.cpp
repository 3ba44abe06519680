#include "app/MainWindowController.h"

#include "app/ViewController.h"

MainWindowController::MainWindowController(QWidget *parent)
    : QMainWindow(parent)
    , m_viewController(new ViewController(this)) {
    setWindowTitle(QStringLiteral("Parlino"));
    setCentralWidget(m_viewController);
    setMinimumSize(720, 480);
    resize(960, 640);
}
