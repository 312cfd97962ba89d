#pragma once

#include <QString>

// A library of a given number of books for measuring: mixed Cyrillic and Latin titles,
// authors that repeat, a tenth of the books lent.
namespace LibraryGenerator {

struct Timings {
    double fillMs = 0;
    double indexMs = 0;
};

// Creates the library at path (which must not exist yet): the books first, the ordering
// indexes built afterwards, each in one statement.
Timings generate(const QString &path, int books);

} // namespace LibraryGenerator
