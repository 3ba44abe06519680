// The start-up floor: a minimal Qt Widgets program with a set of widgets like
// the editor's (a main window, a plain-text edit, two combo boxes, two sliders,
// eight buttons). It quits after the text edit's first paint, as
// `parlino --quit-after-show` does, so the two measure the same moment.
// An optional argument names a text file to show in the edit.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

namespace {

class QuitAfterFirstPaint : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }
};

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    auto *top = new QHBoxLayout;
    top->addWidget(new QComboBox);
    top->addWidget(new QComboBox);
    top->addWidget(new QSlider(Qt::Horizontal));
    top->addWidget(new QSlider(Qt::Horizontal));
    layout->addLayout(top);
    auto *edit = new QPlainTextEdit;
    layout->addWidget(edit, 1);
    auto *buttons = new QHBoxLayout;
    for (int i = 0; i < 8; ++i)
        buttons->addWidget(new QPushButton(QStringLiteral("Button %1").arg(i + 1)));
    layout->addLayout(buttons);
    window.setCentralWidget(central);
    window.resize(1000, 680);
    QuitAfterFirstPaint quitter;
    edit->viewport()->installEventFilter(&quitter);
    window.show();
    // After show, like the editor, so the text is laid out once at its width.
    if (argc > 1) {
        QFile file(QString::fromLocal8Bit(argv[1]));
        if (file.open(QIODevice::ReadOnly))
            edit->setPlainText(QString::fromUtf8(file.readAll()));
    }
    return app.exec();
}
