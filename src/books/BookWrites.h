#pragma once

#include <QString>
#include <QVector>

#include <utility>

// What the book windows share around the statements that change books.
namespace BookWrites
{

// The message naming the first character of the fields (label key, text) that the library
// cannot hold; empty when every character can be stored. Checked before anything is logged or run.
QString unstorableMessage(const QVector<std::pair<QString, QString>> &fields);

// A refused statement leaves the book list closed; it is run again as after a success, so the
// library does not look empty. The refusal has been reported already, so a failing re-run is quiet.
void rerunListAfterFailure();

} // namespace BookWrites
