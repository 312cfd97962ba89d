#pragma once

#include "DbWorker.h"

#include <QString>
#include <QVariant>

#include <functional>

class FbQuery;
class QWidget;

// Long work (backup, restore, conversion, a list whose first row keeps the engine busy) run on a
// worker behind a progress window: the main window stays live, Cancel stops the work in the
// engine, and a termination signal stops it as it stops any worker.
namespace WorkerProgress
{

struct Outcome {
    bool ok = false;
    bool stopped = false;
    QString message;
    QVariant result;
};

// Starts job on worker and returns when it has ended. steps: the number of steps the job reports
// through progress(), or 0 for work of unknown length, whose progress text is shown under text.
// quietMs: work that ends within it is waited for without a window and without running events;
// turnedLong runs when it has not, just before the window shows.
Outcome run(QWidget *parent, DbWorker &worker, const QString &text, int steps, DbWorker::Job job, int quietMs = 0,
            const std::function<void()> &turnedLong = {});

// The engine's part of opening query (FbQuery::executeOpen) as a job: its result is whether a
// first row came, and a stop cancels the statement in the engine.
DbWorker::Job executeOpenJob(FbQuery *query);

// Opens a list's query as FbQuery::open() does; a first row that keeps the engine busy longer
// than a moment is waited for behind a progress window whose Cancel stops the statement. Throws
// FbError as open() does; false when stopped, the list then staying closed. A close the list
// holds back (FbQuery::CloseHold) is said when the window shows, so the list shows empty meanwhile.
bool openQuery(QWidget *parent, FbQuery *query, const QString &text);

// The job's exception thrown again on the window's thread, so it is reported as before; a
// stopped job throws nothing.
void rethrowFailure(const DbWorker &worker, const Outcome &outcome);

// Thrown inside a job that noticed stopRequested() between the engine's answers.
[[noreturn]] void throwStopped();

} // namespace WorkerProgress
