#pragma once

#include <QString>

// What the Firebird client library in use says about itself.
namespace ClientLibrary {
// The engine and its version with the library's file, as it reports them at run time,
// for example "Firebird 3.0.11 (libfbclient.so.2)".
QString description();
// From the library's version string ("LI-V3.0.11.33703 Firebird 3.0") and its file path.
QString describe(const QString &versionString, const QString &libraryPath);
} // namespace ClientLibrary
