#pragma once

#include <QString>

// ISBN-10 and ISBN-13: check digits, hyphens and blanks, the 10 to 13 conversion.
namespace Isbn {

enum class Problem { None, Empty, Length, Character, CheckDigit };

struct Checked {
    QString isbn13;            // the ISBN-13 when the text is a valid ISBN
    Problem problem = Problem::Empty;
    bool ok() const { return problem == Problem::None; }
};

// Reads a typed or scanned ISBN; hyphens and blanks are ignored, an ISBN-10 is returned as ISBN-13.
Checked check(const QString &typed);
// The digits and a final X of a text, without hyphens and blanks.
QString compact(const QString &typed);
// An ISBN-10 (nine digits and its check character) as ISBN-13; empty when it is not one.
QString to13(const QString &isbn10);
// The catalogue key that names a problem.
QString problemKey(Problem problem);

} // namespace Isbn
