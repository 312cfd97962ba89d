#pragma once

#include <QString>

class FbDatabase;
class FbTransaction;

// The engine's own share of an operation: a statement through the raw client API on the
// program's attachment and transaction, with nothing kept or shown.
namespace EngineProbe {

struct Fetched {
    int rows = 0;
    // The bytes of the values as the engine returns them (a text as long as its text).
    qint64 dataBytes = 0;
};

// Runs a select and fetches up to maxRows rows (all of them when maxRows < 0).
Fetched select(FbDatabase &db, FbTransaction &tr, const QString &statement, int maxRows);
// Like select, with the statement prepared once and kept for the next call with the same text
// (as the program keeps its list's statement): the engine's time for a re-run.
Fetched selectKept(FbDatabase &db, FbTransaction &tr, const QString &statement, int maxRows);
// Frees the kept statements; before the attachment closes.
void forgetKept();
// Runs a statement without a result set and makes it durable, as the program does.
void execute(FbDatabase &db, FbTransaction &tr, const QString &statement);

} // namespace EngineProbe
