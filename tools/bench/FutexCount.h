#pragma once

#include <functional>

// Futex calls the whole process makes (every thread, those it starts included) while work runs:
// each is a thread waking or waiting for another, which a virtual machine makes costly. Counted
// by the kernel's futex tracepoint; -1 where this machine does not let the process read it
// (tracefs not mounted, or perf_event_paranoid too strict for the user).
long long futexCallsDuring(const std::function<void()> &work);
