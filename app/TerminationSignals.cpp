#include "app/TerminationSignals.h"

#include "QuindorelConfig.h"

#include "app/AppLog.h"

#include <QSocketNotifier>
#include <cstdio>
#include <cstdlib>

#if QUINDOREL_UNIX
#include <sys/socket.h>
#include <unistd.h>
#include <csignal>
#endif

namespace quindorel {

#if QUINDOREL_UNIX
namespace {

int signalSockets[2] = {-1, -1};

void wakeEventLoop(int) {
    const char byte = 1;
    // Only async-signal-safe work here: wake the event loop.
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
}

void endAtOnce(int) {
    ::_exit(0);
}

}  // namespace
#endif

TerminationSignals::TerminationSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
#if QUINDOREL_UNIX
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0) {
        qCWarning(lcApp, "Quindorel: cannot watch for termination signals");
        return;
    }
    notifier_ = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(signalSockets[1], &byte, 1);
        onSignal_();
    });
    struct sigaction action {};
    action.sa_handler = wakeEventLoop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
#endif
}

void TerminationSignals::endNow(int status) {
    std::fflush(nullptr);
    std::_Exit(status);
}

void TerminationSignals::endWithin([[maybe_unused]] unsigned seconds) {
#if QUINDOREL_UNIX
    struct sigaction action {};
    action.sa_handler = endAtOnce;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGALRM, &action, nullptr);
    ::alarm(seconds);
#endif
}

TerminationSignals::~TerminationSignals() {
#if QUINDOREL_UNIX
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ::signal(signal, SIG_DFL);
    }
#endif
}

}  // namespace quindorel
