#include "CommandLine.h"
#include "MainWindowController.h"
#include "ViewController.h"
#include "editing/SSMLTextView.h"
#include "synthesis/CloudModule.h"
#include "widgets/DeferredIconStyle.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QIcon>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <functional>

using namespace parlino;

namespace {

// Closes the cloud client's connections while the application object exists.
void releaseCloud() {
    if (const CloudModule *cloud = CloudModule::ifLoaded())
        cloud->releaseShared();
}

int runVerb(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QFile in;
    in.open(stdin, QIODevice::ReadOnly);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = CommandLine::run(QCoreApplication::arguments(), {in, out, err});
    releaseCloud();
    return status;
}

// Runs an action once the watched widget has painted for the first time: the
// moment the user first sees the editor (show() returns before that).
class AfterFirstPaint : public QObject {
public:
    explicit AfterFirstPaint(std::function<void()> action)
        : m_action(std::move(action)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Queued, so the paint event finishes first.
            QTimer::singleShot(0, this, m_action);
        }
        return false;
    }

private:
    std::function<void()> m_action;
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
    QApplication::setStyle(new DeferredIconStyle);
    const EditorOptions options = editorOptions(QApplication::arguments());

    MainWindowController window;
    // What the first paint does not show comes after it: the icon matters to
    // the window manager (and finding the SVG icon engine costs a plug-in
    // scan), the text's font to text (an empty view shows only its hint).
    // --quit-after-show ends at the first paint, before either.
    SSMLTextView *textView = window.viewController()->textView();
    AfterFirstPaint afterPaint([quit = options.quitAfterShow, textView] {
        if (quit) {
            QCoreApplication::quit();
            return;
        }
        textView->applyTextFont();
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/parlino/parlino.svg")));
    });
    textView->viewport()->installEventFilter(&afterPaint);
    window.show();
    // Loaded once the window has its size, so the text is laid out only once.
    if (!options.load.isEmpty())
        window.openDocument(options.load);
    const int status = app.exec();
    releaseCloud();
    return status;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc > 1 && CommandLine::isVerb(QString::fromLocal8Bit(argv[1])))
        return runVerb(argc, argv);
    return runEditor(argc, argv);
}
