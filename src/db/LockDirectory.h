#pragma once

#include <QString>

// The embedded engine keeps its lock files in one directory (FIREBIRD_LOCK, default
// /tmp/firebird). A user who cannot write the shared one gets a private directory; that is
// safe because the engine runs in Super mode, which locks every database file it opens
// exclusively, so a second engine (with any lock directory) is refused, never let in.
namespace LockDirectory {
constexpr const char *kSharedDirectory = "/tmp/firebird";

// Chooses the directory and sets FIREBIRD_LOCK before the engine starts; returns it.
// Respects a FIREBIRD_LOCK that is already set.
QString prepare();
} // namespace LockDirectory
