#pragma once

class QWidget;

// Opens the book list (its statement already set): a search or ordering whose first row keeps
// the engine busy is waited for with the window live and can be stopped. Throws FbError as
// opening does; false when the user stopped it (the list then stays closed, and the console says so).
namespace BookListOpen
{
bool open(QWidget *parent);
}
