#pragma once

#include <QString>

class FbDatabase;

// A library made in UTF8 holds texts that Windows-1251 cannot ("Les Misérables", "Gdańsk").
namespace LibraryCharset {
// The library's default character set as the engine names it ("WIN1251", "UTF8"); empty when
// it cannot be read.
QString of(FbDatabase &db);
} // namespace LibraryCharset
