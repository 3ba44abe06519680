#include "ModuleLibrary.h"

#include <QFileInfo>
#include <QLibrary>

namespace parlino {

namespace ModuleLibrary {

QStringList paths(const char *built, const char *installed) {
    return {QString::fromUtf8(built), QString::fromUtf8(installed)};
}

QFunctionPointer resolve(const QStringList &paths, const char *symbol, const QString &what,
                         QString *error) {
    QString failure;
    for (const QString &path : paths) {
        if (!QFileInfo::exists(path))
            continue;
        QLibrary library(path);
        // A symbol the program does not provide fails the load here, with
        // its name, instead of the first call that needs it.
        library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
        if (const QFunctionPointer entry = library.resolve(symbol))
            return entry;
        failure = library.errorString();
    }
    if (failure.isEmpty())
        failure = QStringLiteral("the %1 module is not installed (%2)")
                      .arg(what, paths.join(QLatin1String(", ")));
    if (error)
        *error = failure;
    return nullptr;
}

} // namespace ModuleLibrary

} // namespace parlino
