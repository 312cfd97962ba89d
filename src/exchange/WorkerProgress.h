#pragma once

#include "DbWorker.h"

#include <QString>
#include <QVariant>

class QWidget;

// Long work of the Database menu (backup, restore, conversion) run on a worker behind a progress
// window: the main window stays live, Cancel stops the work in the engine, and a termination
// signal stops it as it stops any worker.
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
Outcome run(QWidget *parent, DbWorker &worker, const QString &text, int steps, DbWorker::Job job);

// The job's exception thrown again on the window's thread, so it is reported as before; a
// stopped job throws nothing.
void rethrowFailure(const DbWorker &worker, const Outcome &outcome);

// Thrown inside a job that noticed stopRequested() between the engine's answers.
[[noreturn]] void throwStopped();

} // namespace WorkerProgress
