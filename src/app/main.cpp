#include "app/MainWindowController.h"
#include "app/ViewController.h"
#include "cli/CommandLine.h"
#include "editing/SSMLTextView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTextStream>
#include <QTimer>

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

// Ends the process once the watched widget has painted for the first time:
// the moment the user first sees the editor (show() returns before that).
class QuitAfterFirstPaint : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Queued, so the paint event finishes before the loop ends.
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }
};

struct EditorOptions {
    bool quitAfterShow = false;
    QString load;
};

// parlino [--quit-after-show] [--load FILE | FILE]
EditorOptions editorOptions(const QStringList &arguments) {
    EditorOptions options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--quit-after-show"))
            options.quitAfterShow = true;
        else if (argument == QLatin1String("--load") && i + 1 < arguments.size())
            options.load = arguments.at(++i);
        else if (!argument.startsWith(u'-'))
            options.load = argument;
    }
    return options;
}

int runEditor(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Parlino"));
    QApplication::setApplicationName(QStringLiteral("Parlino"));
    QApplication::setApplicationDisplayName(QStringLiteral("Parlino"));
    QApplication::setApplicationVersion(QStringLiteral(PARLINO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("parlino"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/parlino/parlino.svg")));
    const EditorOptions options = editorOptions(QApplication::arguments());

    MainWindowController window;
    if (!options.load.isEmpty())
        window.openDocument(options.load);
    QuitAfterFirstPaint quitter;
    if (options.quitAfterShow)
        window.viewController()->textView()->viewport()->installEventFilter(&quitter);
    window.show();
    return app.exec();
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc > 1 && CommandLine::isVerb(QString::fromLocal8Bit(argv[1])))
        return runVerb(argc, argv);
    return runEditor(argc, argv);
}
