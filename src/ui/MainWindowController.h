#pragma once

#include <QMainWindow>
#include <QString>

namespace parlino {

class ViewController;

// The one main window: the menu bar around the editor's ViewController, and
// opening and saving Parlino documents.
class MainWindowController : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindowController(QWidget *parent = nullptr);

    ViewController *viewController() const { return m_viewController; }

    // Loads a document (plain text, or JSON when the name ends in .json) into
    // the editor; false with a message box when it cannot be read.
    bool openDocument(const QString &path);
    // Writes the editor's document as JSON; false with a message box on failure.
    bool saveDocument(const QString &path);

private:
    void buildMenus();
    void openClick();
    void saveClick();
    void saveAsClick();
    void preferencesClick();
    void aboutClick();
    void setCurrentPath(const QString &path);

    ViewController *m_viewController;
    QString m_currentPath;
};

} // namespace parlino
