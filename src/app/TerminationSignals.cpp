#include "TerminationSignals.h"

#include "EngineShutdown.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

int g_wakeFds[2] = {-1, -1};
volatile sig_atomic_t g_received = 0;
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

std::function<void()> &onSignalRoutine()
{
    static std::function<void()> routine;
    return routine;
}

// Safe in a signal handler and on any thread.
void wakeUp()
{
    const int saved = errno;
    g_received = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(g_wakeFds[0], &byte, 1);
    errno = saved;
}

extern "C" void signalHandler(int)
{
    wakeUp();
}

void drain()
{
    char buffer[64];
    while (read(g_wakeFds[1], buffer, sizeof buffer) > 0) {
    }
}

} // namespace

void TerminationSignals::install(std::function<void()> onSignal)
{
    onSignalRoutine() = std::move(onSignal);
    if (g_wakeFds[0] >= 0)
        return;
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, g_wakeFds) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_wakeFds[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        drain();
        if (onSignalRoutine())
            onSignalRoutine()();
    });
    struct sigaction action {
    };
    action.sa_handler = signalHandler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : kSignals)
        sigaction(sig, &action, nullptr);
    EngineShutdown::interceptSignals(wakeUp);
}

bool TerminationSignals::received()
{
    return g_received != 0;
}
