#pragma once

// Whether the embedded engine is at hand: the engine plugin that the client library loads
// for a plain file path, or a "gds32.dll" beside the program as on Windows.
namespace EngineCheck {
bool embeddedEngineAvailable();
}
