#pragma once

#include <QObject>

class QSocketNotifier;

namespace parlino {

// Turns Ctrl+C (SIGINT) into a signal on the event loop while it exists, so
// that a long conversion can stop cleanly instead of the process dying with
// a half-written spool. Only one may exist at a time; the previous handler
// comes back when it goes.
class InterruptWatch : public QObject {
    Q_OBJECT
public:
    // The exit status of a command stopped by Ctrl+C (128 + SIGINT).
    static constexpr int interruptedStatus = 130;

    explicit InterruptWatch(QObject *parent = nullptr);
    ~InterruptWatch() override;

    bool wasInterrupted() const { return m_interrupted; }

signals:
    void interrupted();

private:
    static void handle(int signal);

    QSocketNotifier *m_notifier = nullptr;
    bool m_interrupted = false;
    bool m_installed = false;
};

} // namespace parlino
