#include "app/MainWindowController.h"
#include "cli/CommandLine.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

int runVerb(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QFile in;
    in.open(stdin, QIODevice::ReadOnly);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return CommandLine::run(QCoreApplication::arguments(), {in, out, err});
}

int runEditor(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Parlino"));
    QApplication::setApplicationName(QStringLiteral("Parlino"));
    QApplication::setApplicationDisplayName(QStringLiteral("Parlino"));
    QApplication::setDesktopFileName(QStringLiteral("parlino"));
    MainWindowController window;
    window.show();
    return app.exec();
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc > 1 && CommandLine::isVerb(QString::fromLocal8Bit(argv[1])))
        return runVerb(argc, argv);
    return runEditor(argc, argv);
}
