#pragma once

#include <QString>

namespace parlino {

// The outcome of moving a finished file to its final name without ever
// replacing what is there.
struct NoReplaceRename {
    enum Status { Moved, Exists, Failed };
    Status status = Failed;
    QString error; // the system's reason, when Failed

    // Gives the file at from the name to, atomically, unless a file, link or
    // any other node already has that name (then Exists, and from is left
    // alone). Uses renameat2(RENAME_NOREPLACE), or link and unlink on file
    // systems that lack it; both fail rather than replace. Both paths must be
    // on the same file system.
    static NoReplaceRename move(const QString &from, const QString &to);
};

} // namespace parlino
