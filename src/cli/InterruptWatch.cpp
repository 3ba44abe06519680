#include "InterruptWatch.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace parlino {

namespace {

// The pipe the handler writes to: writing a byte is all a signal handler
// may safely do; the event loop reads it.
int wakePipe[2] = {-1, -1};
struct sigaction previous {};

} // namespace

void InterruptWatch::handle(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakePipe[1], &byte, 1);
}

InterruptWatch::InterruptWatch(QObject *parent)
    : QObject(parent) {
    if (wakePipe[0] >= 0 || ::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(wakePipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(wakePipe[0], bytes, sizeof bytes) > 0) {
        }
        if (m_interrupted) // a second Ctrl+C while stopping: stop at once
            ::_exit(interruptedStatus);
        m_interrupted = true;
        emit interrupted();
    });
    struct sigaction action {};
    action.sa_handler = &InterruptWatch::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    m_installed = ::sigaction(SIGINT, &action, &previous) == 0;
}

InterruptWatch::~InterruptWatch() {
    if (m_installed)
        ::sigaction(SIGINT, &previous, nullptr);
    if (m_notifier) { // this watch made the pipe
        delete m_notifier;
        ::close(wakePipe[0]);
        ::close(wakePipe[1]);
        wakePipe[0] = wakePipe[1] = -1;
    }
}

} // namespace parlino
