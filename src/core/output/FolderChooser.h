#pragma once

#include <QString>

namespace parlino {

// Asks the user for a folder to save into. The editor answers with a file
// dialog; tests answer directly.
class FolderChooser {
public:
    virtual ~FolderChooser() = default;

    // The chosen folder's path, or an empty string when the user cancelled.
    // startFolder is where to open, and may be empty.
    virtual QString chooseFolder(const QString &startFolder) = 0;
};

} // namespace parlino
