#include "widgets/FileDialogFolderChooser.h"

#include <QFileDialog>
#include <QStandardPaths>

namespace parlino {

FileDialogFolderChooser::FileDialogFolderChooser(QWidget *parent)
    : m_parent(parent) {}

QString FileDialogFolderChooser::chooseFolder(const QString &startFolder) {
    const QString start = startFolder.isEmpty()
                              ? QStandardPaths::writableLocation(QStandardPaths::MusicLocation)
                              : startFolder;
    return QFileDialog::getExistingDirectory(m_parent, QObject::tr("Save the audio into"), start,
                                             QFileDialog::ShowDirsOnly);
}

} // namespace parlino
