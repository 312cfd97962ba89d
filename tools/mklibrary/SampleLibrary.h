#pragma once

#include <QString>

class FbDatabase;

// Plausible books for trying the program and for pictures of it: classics in Ukrainian,
// Russian and English editions, and a few of them lent.
namespace SampleLibrary
{
// A few loans for a library of this many books.
int loanCount(int books);
// Adds `books` books and loanCount(books) loans to the open library.
void fill(FbDatabase &db, int books);
} // namespace SampleLibrary
