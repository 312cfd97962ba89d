#pragma once

#include "BookImport.h"

#include <functional>

class FbDatabase;

// Stores the accepted rows of an import in one batch on the connection: all of them or none.
namespace BookImportBatch
{

struct Outcome {
    int stored = 0; // rows stored; 0 unless every row went in
    bool cancelled = false;
    int failedLine = 0; // file line of the row the library refused
    QString error;      // the engine's text for it
};

// Statements run so far; returning false cancels (and undoes) the batch.
using Progress = std::function<bool(int done)>;

Outcome run(FbDatabase *database, const BookImport::Plan &plan, const Progress &progress);

} // namespace BookImportBatch
