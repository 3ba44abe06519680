#pragma once

#include <QFunctionPointer>
#include <QString>
#include <QStringList>

namespace parlino {

// The program's own modules: shared objects built beside the program and
// installed under the library folder, opened on first use so that starting
// the editor does not load what they link (Qt Multimedia, QtNetwork, the
// keyring). A module is never unloaded.
namespace ModuleLibrary {

// The module's path in the build tree, then where it is installed.
QStringList paths(const char *built, const char *installed);

// The entry point named symbol of the first of paths that exists and loads
// with every symbol resolved; nullptr, with why in *error, when there is
// none. what names the module in that message ("audio", "cloud").
QFunctionPointer resolve(const QStringList &paths, const char *symbol, const QString &what,
                         QString *error);

} // namespace ModuleLibrary

} // namespace parlino
