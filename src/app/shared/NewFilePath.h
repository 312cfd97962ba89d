#pragma once

#include <QString>

// Names for files the program makes anew (libraries, backups, exports), as typed in a dialog.
namespace NewFilePath {
// The file dialog filter of library files.
constexpr const char *kLibraryFilter = "InterBase database files (*.gdb)";
// The typed name, absolute, with the suffix ("gdb") added when it has none.
QString complete(const QString &typed, const char *suffix);
// A file, or a link (even one pointing nowhere), already has the name: a new library never goes there.
bool taken(const QString &path);
} // namespace NewFilePath
