#pragma once

// The embedded engine catches SIGTERM and SIGINT itself and, left alone, shuts every attachment
// down behind the program, which then lives on with a dead connection. Instead the engine's
// shutdown is called off and the program is told, so that it can close as it does by itself.
namespace EngineShutdown {
// onSignal runs on an engine thread, not the user-interface thread: it must only wake the latter.
void interceptSignals(void (*onSignal)());
} // namespace EngineShutdown
