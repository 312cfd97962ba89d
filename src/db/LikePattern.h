#pragma once

#include <QString>

// "column like '%text%'": the column's text contains the typed text. A typed '%' or '_' is
// matched as itself (escaped, with an ESCAPE clause); text without them gives the plain pattern.
// Apostrophes are doubled, so the text never ends the literal.
QString likeContains(const QString &column, const QString &text);
