#pragma once

#include <QString>
#include <QStringList>

// The empty library: the file LIBRARY.GDB that the program opens by default.
namespace LibrarySchema {
constexpr const char *kCharacterSet = "WIN1251";
constexpr const char *kCollation = "WIN1251_UA";

// The statements of the creation script, comments and blank lines left out.
QStringList statements();
// Creates an empty library at path; refuses (FbError) when a file is already there.
// withGiven false leaves out GIVEN, as in libraries of the older kind.
void create(const QString &path, bool withGiven = true);
} // namespace LibrarySchema
