#include "MainWindowController.h"

#include "PreferencesDialog.h"
#include "ViewController.h"
#include "VoiceControls.h"
#include "document/ParlinoDocument.h"
#include "editing/SSMLTextView.h"

#include <QApplication>
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
    m_viewController->textView()->setFocus();
}

void MainWindowController::buildMenus() {
    SSMLTextView *text = m_viewController->textView();

    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&Open…"), QKeySequence::Open, this, &MainWindowController::openClick);
    file->addAction(tr("&Save"), QKeySequence::Save, this, &MainWindowController::saveClick);
    file->addAction(tr("Save &As…"), QKeySequence::SaveAs, this,
                    &MainWindowController::saveAsClick);
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);

    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    QAction *undo = edit->addAction(tr("&Undo"), QKeySequence::Undo, text, &SSMLTextView::undo);
    QAction *redo = edit->addAction(tr("&Redo"), QKeySequence::Redo, text, &SSMLTextView::redo);
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(text, &SSMLTextView::undoAvailable, undo, &QAction::setEnabled);
    connect(text, &SSMLTextView::redoAvailable, redo, &QAction::setEnabled);
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
    setWindowFilePath(path.isEmpty() ? tr("Untitled") : path);
    setWindowTitle(path.isEmpty() ? QStringLiteral("Parlino")
                                  : QStringLiteral("%1 — Parlino").arg(QFileInfo(path).fileName()));
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
    setCurrentPath(path);
    return true;
}

void MainWindowController::openClick() {
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Open"), QFileInfo(m_currentPath).absolutePath(),
        tr("Parlino documents (*.json);;Text files (*.txt);;All files (*)"));
    if (!path.isEmpty())
        openDocument(path);
}

void MainWindowController::saveClick() {
    if (m_currentPath.isEmpty())
        saveAsClick();
    else
        saveDocument(m_currentPath);
}

void MainWindowController::saveAsClick() {
    QString start = m_currentPath;
    if (start.isEmpty())
        start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
                QStringLiteral("/Untitled.json");
    QString path =
        QFileDialog::getSaveFileName(this, tr("Save As"), start, tr("Parlino documents (*.json)"));
    if (path.isEmpty())
        return;
    if (!ParlinoDocument::isJsonPath(path))
        path += QStringLiteral(".json");
    saveDocument(path);
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
