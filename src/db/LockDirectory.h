#pragma once

#include <QString>

#include <sys/types.h>

// The embedded engine keeps its lock files in one directory (FIREBIRD_LOCK, default
// /tmp/firebird) and writes through whatever it finds there under its file names. A directory
// that another account can write could hold a link planted to any file of the user, so only a
// directory that nobody but root or the user can change is used; everyone else gets a private
// directory. That is safe because the engine runs in Super mode, which locks every database
// file it opens exclusively, so a second engine (with any lock directory) is refused, never let in.
namespace LockDirectory
{
constexpr const char *kSharedDirectory = "/tmp/firebird";

// What lstat says about a directory entry.
struct Entry {
    bool exists = false;
    bool directory = false; // false for a symbolic link, whatever it points to
    uid_t owner = 0;
    mode_t mode = 0;
};
Entry inspect(const QString &path);

// Whether only root or uid can change what the directory holds.
bool trusted(const Entry &entry, uid_t uid);

// Where the lock files go. preset: FIREBIRD_LOCK as set (empty when not); shared: the engine's
// usual directory; privateBase: a directory of the user's own, for a private "firebird" directory
// in it. Each candidate is used only when it is trusted down the whole path; the last resort is a
// new private directory in the temporary directory.
QString choose(const QString &preset, const QString &shared, const QString &privateBase);

// Chooses the directory once and sets FIREBIRD_LOCK before the engine starts; returns it.
QString prepare();
} // namespace LockDirectory
