#include "BookImportBatch.h"

#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "FbTransaction.h"

namespace
{
constexpr int kProgressStep = 100;
}

BookImportBatch::Outcome BookImportBatch::run(FbDatabase *database, const BookImport::Plan &plan,
                                              const Progress &progress)
{
    Outcome outcome;
    FbTransaction *transaction = database->defaultTransaction();
    FbBatch batch(transaction);
    FbQuery query(database);
    for (int i = 0; i < plan.statements.size(); ++i) {
        // A connection closed meanwhile has dropped the batch: going on would store the rest alone.
        if (progress && i % kProgressStep == 0 && (!progress(i) || !transaction->inBatch())) {
            outcome.cancelled = true;
            return outcome;
        }
        try {
            query.setSqlText(plan.statements.at(i));
            query.execSQL();
        } catch (const FbError &e) {
            outcome.failedLine = plan.lines.at(i);
            outcome.error = e.message();
            return outcome;
        }
    }
    batch.commit();
    outcome.stored = static_cast<int>(plan.statements.size());
    if (progress)
        progress(outcome.stored);
    return outcome;
}
