#include "MainWindowController.h"

#include "PreferencesDialog.h"
#include "ViewController.h"
#include "VoiceControls.h"
#include "document/ParlinoDocument.h"
#include "editing/EditorSession.h"
#include "editing/SSMLTextView.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>

namespace parlino {

MainWindowController::MainWindowController(QWidget *parent)
    : QMainWindow(parent)
    , m_viewController(new ViewController(this)) {
    setCentralWidget(m_viewController);
    buildMenus();
    // A comfortable size that still fits small or strongly scaled screens.
    QSize size(1000, 680);
    if (const QScreen *screen = this->screen())
        size = size.boundedTo(screen->availableSize() * 0.95);
    resize(size.expandedTo(minimumSizeHint()));
    setCurrentPath(QString());
    connect(m_viewController->session(), &EditorSession::modifiedChanged, this,
            &QWidget::setWindowModified);
    m_viewController->textView()->setFocus();
}

void MainWindowController::buildMenus() {
    SSMLTextView *text = m_viewController->textView();
    EditorSession *session = m_viewController->session();

    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&New"), QKeySequence::New, this, &MainWindowController::newClick);
    file->addAction(tr("&Open…"), QKeySequence::Open, this, &MainWindowController::openClick);
    m_recentMenu = file->addMenu(tr("Open &Recent"));
    // Filled as the File menu opens, so an empty list shows as disabled, and
    // the settings are not read before the window's first paint.
    connect(file, &QMenu::aboutToShow, this, &MainWindowController::fillRecentMenu);
    file->addAction(tr("&Save"), QKeySequence::Save, this, &MainWindowController::saveClick);
    QAction *saveAs = file->addAction(tr("Save &As…"), this, &MainWindowController::saveAsClick);
    saveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);

    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    QAction *undo =
        edit->addAction(tr("&Undo"), QKeySequence::Undo, m_viewController, &ViewController::undo);
    QAction *redo = edit->addAction(tr("&Redo"), m_viewController, &ViewController::redo);
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y)))
        redoKeys << QKeySequence(Qt::CTRL | Qt::Key_Y);
    redo->setShortcuts(redoKeys);
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(session, &EditorSession::undoAvailable, undo, &QAction::setEnabled);
    connect(session, &EditorSession::redoAvailable, redo, &QAction::setEnabled);
    edit->addSeparator();
    edit->addAction(tr("Cu&t"), QKeySequence::Cut, text, &SSMLTextView::cut);
    edit->addAction(tr("&Copy"), QKeySequence::Copy, text, &SSMLTextView::copy);
    edit->addAction(tr("&Paste"), QKeySequence::Paste, text, &SSMLTextView::paste);
    edit->addSeparator();
    edit->addAction(tr("Select &All"), QKeySequence::SelectAll, text, &SSMLTextView::selectAll);
    edit->addSeparator();
    QAction *preferences =
        edit->addAction(tr("Pre&ferences…"), this, &MainWindowController::preferencesClick);
    preferences->setMenuRole(QAction::PreferencesRole);
    preferences->setShortcut(QKeySequence::Preferences);

    QMenu *help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("&About Parlino"), this, &MainWindowController::aboutClick);
    help->addAction(tr("About &Qt"), qApp, &QApplication::aboutQt);
}

void MainWindowController::setCurrentPath(const QString &path) {
    m_currentPath = path;
    const QString name = path.isEmpty() ? tr("Untitled") : QFileInfo(path).fileName();
    setWindowFilePath(path.isEmpty() ? name : path);
    // "[*]" is where the window shows its modified marker.
    setWindowTitle(QStringLiteral("%1[*] — Parlino").arg(name));
    setWindowModified(m_viewController->session()->isModified());
}

QString MainWindowController::documentFolder() const {
    if (!m_currentPath.isEmpty())
        return QFileInfo(m_currentPath).absolutePath();
    const QString remembered = Settings::value(Settings::Key::DocumentFolder).toString();
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return remembered;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void MainWindowController::rememberDocument(const QString &path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList recent = Settings::value(Settings::Key::RecentDocuments).toStringList();
    recent.removeAll(absolute);
    recent.removeAll(QString());
    recent.prepend(absolute);
    Settings::setValue(Settings::Key::RecentDocuments, recent.mid(0, recentCount));
    Settings::setValue(Settings::Key::DocumentFolder, QFileInfo(path).absolutePath());
}

void MainWindowController::fillRecentMenu() {
    m_recentMenu->clear();
    const QStringList recent = Settings::value(Settings::Key::RecentDocuments).toStringList();
    for (const QString &path : recent) {
        if (path.isEmpty())
            continue;
        QAction *action = m_recentMenu->addAction(QFileInfo(path).fileName(), this, [this, path] {
            if (maybeSave())
                openDocument(path);
        });
        action->setToolTip(path);
    }
    m_recentMenu->setEnabled(!m_recentMenu->isEmpty());
}

bool MainWindowController::openDocument(const QString &path) {
    QString error;
    const auto document = ParlinoDocument::load(path, &error);
    if (!document) {
        QMessageBox::warning(
            this, tr("Open"),
            tr("“%1” cannot be opened: %2").arg(QFileInfo(path).fileName(), error));
        return false;
    }
    m_viewController->loadDocument(*document);
    rememberDocument(path);
    setCurrentPath(ParlinoDocument::isJsonPath(path) ? path : QString());
    return true;
}

bool MainWindowController::saveDocument(const QString &path) {
    QString error;
    if (!m_viewController->document().save(path, &error)) {
        QMessageBox::warning(this, tr("Save"),
                             tr("“%1” cannot be saved: %2").arg(QFileInfo(path).fileName(), error));
        return false;
    }
    m_viewController->session()->markSaved();
    rememberDocument(path);
    setCurrentPath(path);
    return true;
}

bool MainWindowController::maybeSave() {
    if (!m_viewController->session()->isModified())
        return true;
    QMessageBox question(
        QMessageBox::Warning, tr("Unsaved changes"),
        tr("Save the changes to “%1”?")
            .arg(m_currentPath.isEmpty() ? tr("Untitled") : QFileInfo(m_currentPath).fileName()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    question.setInformativeText(tr("Your changes are lost if you don't save them."));
    question.setDefaultButton(QMessageBox::Save);
    question.setWindowModality(Qt::WindowModal);
    switch (question.exec()) {
    case QMessageBox::Save:
        return saveClick();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void MainWindowController::closeEvent(QCloseEvent *event) {
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

void MainWindowController::newClick() {
    if (!maybeSave())
        return;
    m_viewController->loadDocument(ParlinoDocument());
    setCurrentPath(QString());
}

void MainWindowController::openClick() {
    if (!maybeSave())
        return;
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Open"), documentFolder(),
        tr("Parlino documents (*.json);;Text files (*.txt);;All files (*)"));
    if (!path.isEmpty())
        openDocument(path);
}

bool MainWindowController::saveClick() {
    if (m_currentPath.isEmpty())
        return saveAsClick();
    return saveDocument(m_currentPath);
}

bool MainWindowController::saveAsClick() {
    const QString start = m_currentPath.isEmpty()
                              ? documentFolder() + QStringLiteral("/Untitled.json")
                              : m_currentPath;
    QString path =
        QFileDialog::getSaveFileName(this, tr("Save As"), start, tr("Parlino documents (*.json)"));
    if (path.isEmpty())
        return false;
    if (!ParlinoDocument::isJsonPath(path))
        path += QStringLiteral(".json");
    return saveDocument(path);
}

void MainWindowController::preferencesClick() {
    auto *dialog = new PreferencesDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &PreferencesDialog::saved, m_viewController,
            &ViewController::refreshEngineChoice);
    VoiceControls *voices = m_viewController->voiceControls();
    connect(dialog, &PreferencesDialog::refreshVoicesRequested, voices,
            &VoiceControls::refreshVoices);
    connect(voices, &VoiceControls::voiceListRefreshed, dialog,
            &PreferencesDialog::voicesRefreshed);
    dialog->open();
}

void MainWindowController::aboutClick() {
    QMessageBox::about(this, tr("About Parlino"),
                       tr("<h3>Parlino %1</h3><p>A speech editor: mark your text with speech "
                          "effects and convert it into an MP3 file.</p>"
                          "<p>Effect shortcuts: Ctrl+1 to Ctrl+7, in the order of the effect "
                          "buttons. Convert: Ctrl+Return.</p>")
                           .arg(QApplication::applicationVersion()));
}

} // namespace parlino
