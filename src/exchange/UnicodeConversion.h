#pragma once

#include <functional>

class QWidget;
class QString;

// Database → "Convert to Unicode ...": the open Windows-1251 library copied into a new Unicode
// library file (never over a file), off the window's thread with progress and Stop, then offered
// as the library to use.
namespace UnicodeConversion {
void convertLibrary(QWidget *parent, const std::function<void(const QString &path)> &registerLibrary);
} // namespace UnicodeConversion
