#include "WorkerProgress.h"

#include "FbError.h"
#include "LangStr.h"

#include <QEventLoop>
#include <QProgressDialog>

namespace WorkerProgress
{

Outcome run(QWidget *parent, DbWorker &worker, const QString &text, int steps, DbWorker::Job job)
{
    QProgressDialog progress(text, LangStr(QStringLiteral("lcancel")), 0, steps, parent);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(steps > 0 ? 0 : 300);
    progress.setValue(0);
    QEventLoop loop;
    // Stays "stopped" when the loop is ended from outside (the program is closing).
    Outcome outcome{false, true, {}, {}};
    QObject::connect(&progress, &QProgressDialog::canceled, &worker, &DbWorker::stop);
    QObject::connect(&worker, &DbWorker::progress, &progress,
                     [&progress, text, steps](qint64 done, qint64, const QString &detail) {
                         if (steps > 0)
                             progress.setValue(int(done));
                         progress.setLabelText(detail.isEmpty() ? text : text + QLatin1Char('\n') + detail);
                     });
    QObject::connect(&worker, &DbWorker::finished, &loop, [&](const QVariant &result) {
        outcome = {true, false, {}, result};
        loop.quit();
    });
    QObject::connect(&worker, &DbWorker::failed, &loop, [&](const QString &message, bool stopped) {
        outcome = {false, stopped, message, {}};
        loop.quit();
    });
    worker.start(std::move(job));
    loop.exec();
    return outcome;
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
