#pragma once

#include <QMainWindow>

class ViewController;

// The one main window; its central widget is the editor's ViewController.
class MainWindowController : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindowController(QWidget *parent = nullptr);

    ViewController *viewController() const { return m_viewController; }

private:
    ViewController *m_viewController;
};
