#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class FbDatabase;

// The empty library: the file LIBRARY.GDB that the program opens by default.
namespace LibrarySchema {
constexpr const char *kCharacterSet = "WIN1251";
constexpr const char *kCollation = "WIN1251_UA";

// The statements of the creation script, comments and blank lines left out.
QStringList statements();
// Creates an empty library at path; refuses (FbError) when a file is already there.
// withGiven false leaves out GIVEN, as in libraries of the older kind. unicode makes a library
// in UTF8 whose texts order as a Ukrainian or Russian reader expects (Latin after Cyrillic).
void create(const QString &path, bool withGiven = true, bool unicode = false);
// The lc_ctype of a connection to a library made with or without unicode.
QString lcCtypeFor(bool unicode);

// The script's CREATE INDEX statements (the indexes for ordering the book list), by index name.
QStringList indexNames();
// Names of the script's indexes that the connected library lacks.
QStringList missingIndexes(FbDatabase &db);
// Creates the missing indexes in a transaction of their own, all or none: a failure (FbError)
// leaves the library as it was. Returns the names created. Run it before the connection's own
// transaction has used BOOK, which would keep the indexes from being built. beforeBuilding is
// called with the names once they are known, and only when there is something to build.
QStringList addMissingIndexes(FbDatabase &db, const std::function<void(const QStringList &)> &beforeBuilding = {});
// Creates the missing indexes one at a time, each made durable on its own, so that work cut
// short keeps the ones finished and a later call builds only the rest. beforeEach is called
// with how many are done, how many were missing and the next name; returning false stops
// there. Throws FbError when one cannot be built. Returns the names created.
QStringList buildMissingIndexes(FbDatabase &db,
                                const std::function<bool(int done, int total, const QString &name)> &beforeEach);
} // namespace LibrarySchema
