#pragma once

#include <functional>

// SIGTERM, SIGINT and SIGHUP (a kill, Ctrl+C, a logout) end the program the way closing its
// main window does. They may reach the program's own handler or, for SIGTERM and SIGINT, the
// embedded engine's, whose shutdown is then called off; either only wakes the user-interface
// thread, which then runs the given routine.
namespace TerminationSignals {
void install(std::function<void()> onSignal);
// Whether one of the signals has arrived in this run.
bool received();
} // namespace TerminationSignals
