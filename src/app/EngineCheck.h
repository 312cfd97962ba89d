#pragma once

#include <QStringList>

// Whether the embedded engine is at hand: the engine plugin that the client library loads
// for a plain file path, or a "gds32.dll" beside the program as on Windows.
namespace EngineCheck {
bool embeddedEngineAvailable();
// Where the engine plugin is looked for (Debian's places by default; tests point elsewhere).
QStringList pluginPaths();
void setPluginPaths(const QStringList &paths);
} // namespace EngineCheck
