#include "app/QuitSignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace quorvale {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// A handler may only do async-signal-safe things: it wakes the event loop through a pipe.
int wakePipe[2] = {-1, -1};
volatile std::sig_atomic_t quitting = 0;

void onSignal(int number) {
    if (quitting) {
        std::signal(number, SIG_DFL);
        std::raise(number);
        return;
    }
    quitting = 1;
    const int savedErrno = errno;
    const char byte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(wakePipe[1], &byte, 1);
    errno = savedErrno;
}

void setHandler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kSignals) {
        ::sigaction(number, &action, nullptr);
    }
}

} // namespace

QuitSignals::QuitSignals(std::function<void()> quit, QObject* parent)
    : QObject(parent)
    , m_quit(std::move(quit)) {
    if (::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return; // the signals keep their default meaning
    }
    quitting = 0;
    m_notifier = new QSocketNotifier(wakePipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char drained[16];
        while (::read(wakePipe[0], drained, sizeof drained) > 0) {
        }
        if (m_quit) {
            m_quit();
        }
    });
    setHandler(onSignal);
}

QuitSignals::~QuitSignals() {
    if (!m_notifier) {
        return;
    }
    setHandler(SIG_DFL);
    delete m_notifier;
    for (int& end : wakePipe) {
        ::close(end);
        end = -1;
    }
}

} // namespace quorvale
