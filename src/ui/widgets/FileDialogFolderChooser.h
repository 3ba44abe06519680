#pragma once

#include "output/FolderChooser.h"

#include <QPointer>

class QWidget;

namespace parlino {

// Asks for a folder with the platform's folder dialog, modal over a window.
class FileDialogFolderChooser : public FolderChooser {
public:
    explicit FileDialogFolderChooser(QWidget *parent = nullptr);

    QString chooseFolder(const QString &startFolder) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace parlino
