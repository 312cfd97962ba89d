#pragma once

#include <QString>

// Qt keeps per-session files in the runtime directory that the session names in
// XDG_RUNTIME_DIR. Started without one (as root from a console, under su or sudo), Qt warns on
// every start and falls back to a directory of its own; we name that private directory first.
namespace RuntimeDirectory
{
// Before the application object exists: leaves a set XDG_RUNTIME_DIR alone, otherwise makes
// <temp>/runtime-<user> (mode 0700, owned by the user) and names it. Returns the directory in
// use, empty when none could be made safely (Qt then falls back as before).
QString prepare();
} // namespace RuntimeDirectory
