#include "EngineShutdown.h"

#include <ibase.h>

namespace
{

void (*g_onSignal)() = nullptr;

int confirmShutdown(const int reason, const int mask, void *)
{
    if (reason != fb_shutrsn_signal || !(mask & fb_shut_confirmation))
        return 0;
    if (g_onSignal)
        g_onSignal();
    return 1; // the program closes its connection itself
}

} // namespace

void EngineShutdown::interceptSignals(void (*onSignal)())
{
    g_onSignal = onSignal;
    static bool registered = false;
    if (registered)
        return;
    ISC_STATUS_ARRAY status;
    fb_shutdown_callback(status, confirmShutdown, fb_shut_confirmation, nullptr);
    registered = status[0] != 1 || status[1] == 0;
}
