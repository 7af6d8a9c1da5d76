#include "app/StopSignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array STOP_SIGNALS = {SIGTERM, SIGINT, SIGHUP};

// The pipe's write end, read by the handler; -1 when none is installed.
volatile sig_atomic_t g_writeFd = -1;

extern "C" void OnStopSignal(int number) {
    // Only async-signal-safe calls here: one write, errno kept for whoever
    // the signal interrupted. A full pipe already holds a request.
    const int savedErrno = errno;
    const int fd = g_writeFd;
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(number);
        [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

TStopSignals::TStopSignals(QObject* parent) : QObject(parent) {
    if (g_writeFd >= 0) return; // another one is installed
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    g_writeFd = fds[1];
    notifier_ = new QSocketNotifier(fds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TStopSignals::Drain);
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    installed_ = true;
    for (const int number : STOP_SIGNALS)
        if (::sigaction(number, &action, nullptr) != 0) installed_ = false;
}

TStopSignals::~TStopSignals() {
    if (!notifier_) return;
    for (const int number : STOP_SIGNALS)
        std::signal(number, SIG_DFL);
    const int writeFd = g_writeFd;
    g_writeFd = -1;
    ::close(writeFd);
    const auto readFd = static_cast<int>(notifier_->socket());
    delete notifier_;
    ::close(readFd);
}

void TStopSignals::Drain() {
    std::array<unsigned char, 16> bytes{};
    int first = 0;
    for (;;) {
        const ssize_t n = ::read(static_cast<int>(notifier_->socket()), bytes.data(), bytes.size());
        if (n <= 0) break;
        if (first == 0) first = bytes[0];
    }
    if (first == 0 || told_) return;
    told_ = true;
    emit StopRequested(first);
}
