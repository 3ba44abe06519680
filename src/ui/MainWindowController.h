#pragma once

#include <QMainWindow>
#include <QString>

class QMenu;

namespace parlino {

class ViewController;

// The one main window: the menu bar around the editor's ViewController, and
// the document commands (New, Open, Open Recent, Save, Save As) with the
// question about unsaved changes before the document is closed or replaced.
class MainWindowController : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int recentCount = 8;

    explicit MainWindowController(QWidget *parent = nullptr);

    ViewController *viewController() const { return m_viewController; }
    const QString &currentPath() const { return m_currentPath; }

    // Loads a document (plain text, or JSON when the name ends in .json) into
    // the editor; false with a message box when it cannot be read.
    bool openDocument(const QString &path);
    // Writes the editor's document as JSON; false with a message box on failure.
    bool saveDocument(const QString &path);
    // With unsaved changes, asks Save / Discard / Cancel; true when the
    // document may be closed (saved, discarded or unchanged).
    bool maybeSave();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void newClick();
    void openClick();
    bool saveClick();
    bool saveAsClick();
    void preferencesClick();
    void aboutClick();
    void setCurrentPath(const QString &path);
    void rememberDocument(const QString &path);
    void fillRecentMenu();
    QString documentFolder() const;

    ViewController *m_viewController;
    QMenu *m_recentMenu = nullptr;
    QString m_currentPath;
};

} // namespace parlino
