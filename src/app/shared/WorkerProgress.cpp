#include "WorkerProgress.h"

#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "LangStr.h"

#include <QEventLoop>
#include <QProgressDialog>

namespace WorkerProgress
{

Outcome run(QWidget *parent, DbWorker &worker, const QString &text, int steps, DbWorker::Job job, int quietMs,
            const std::function<void()> &turnedLong)
{
    QEventLoop loop;
    // Stays "stopped" when the loop is ended from outside (the program is closing).
    Outcome outcome{false, true, {}, {}};
    bool ended = false;
    QObject::connect(&worker, &DbWorker::finished, &loop, [&](const QVariant &result) {
        outcome = {true, false, {}, result};
        ended = true;
        loop.quit();
    });
    QObject::connect(&worker, &DbWorker::failed, &loop, [&](const QString &message, bool stopped) {
        outcome = {false, stopped, message, {}};
        ended = true;
        loop.quit();
    });
    worker.start(std::move(job));
    if (quietMs > 0 && worker.wait(quietMs, true))
        return outcome;
    if (turnedLong)
        turnedLong();
    QProgressDialog progress(text, LangStr(QStringLiteral("lcancel")), 0, steps, parent);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(steps > 0 || quietMs > 0 ? 0 : 300);
    progress.setValue(0);
    QObject::connect(&progress, &QProgressDialog::canceled, &worker, &DbWorker::stop);
    QObject::connect(&worker, &DbWorker::progress, &progress,
                     [&progress, text, steps](qint64 done, qint64, const QString &detail) {
                         if (steps > 0)
                             progress.setValue(int(done));
                         progress.setLabelText(detail.isEmpty() ? text : text + QLatin1Char('\n') + detail);
                     });
    if (!ended)
        loop.exec();
    if (!ended) {
        // Left early (the program is closing): nothing may go on using what the job was given.
        worker.stop();
        worker.wait(-1, false);
    }
    return outcome;
}

DbWorker::Job executeOpenJob(FbQuery *query)
{
    return [query](DbWorker::Control &control) {
        FbDatabase *database = query->database();
        control.onStop([database] { database->cancelOperation(); });
        return QVariant(query->executeOpen());
    };
}

bool openQuery(QWidget *parent, FbQuery *query, const QString &text)
{
    constexpr int kQuietMs = 300;
    if (query->active())
        return true;
    query->prepareOpen();
    DbWorker worker;
    query->database()->setUsedOffThread(true);
    const Outcome outcome =
        run(parent, worker, text, 0, executeOpenJob(query), kQuietMs, [query] { query->sayHeldClose(); });
    query->database()->setUsedOffThread(false);
    query->finishOpen(outcome.ok, outcome.result.toBool());
    // A failure passes the attachment's own check: a lost connection is let go there.
    query->database()->runAttached([&] { rethrowFailure(worker, outcome); });
    return outcome.ok;
}

void rethrowFailure(const DbWorker &worker, const Outcome &outcome)
{
    if (outcome.ok || outcome.stopped)
        return;
    if (const std::exception_ptr error = worker.lastError())
        std::rethrow_exception(error);
    throw FbError(outcome.message);
}

void throwStopped()
{
    throw FbError(QStringLiteral("stopped"));
}

} // namespace WorkerProgress
