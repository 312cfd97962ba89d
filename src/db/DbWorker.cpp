#include "DbWorker.h"

#include "FbApi.h"
#include "FbDatabase.h"
#include "FbTransaction.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QSet>
#include <QThread>

namespace {

// Workers live on the window's thread; only it reads or changes this set.
QSet<DbWorker *> &allWorkers()
{
    static QSet<DbWorker *> workers;
    return workers;
}

constexpr qint64 kProgressIntervalMs = 100;

} // namespace

FbDatabase &DbWorker::Control::database()
{
    if (!m_worker->m_database)
        m_worker->openAttachment();
    return *m_worker->m_database;
}

void DbWorker::Control::commit()
{
    if (!m_worker->m_database)
        return;
    FbTransaction *transaction = m_worker->m_database->defaultTransaction();
    transaction->commitBatch();
    transaction->beginBatch();
}

void DbWorker::Control::progress(qint64 done, qint64 total, const QString &text)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const bool last = total > 0 && done >= total;
    if (!last && m_lastProgressMs >= 0 && now - m_lastProgressMs < kProgressIntervalMs)
        return;
    m_lastProgressMs = now;
    emit m_worker->progress(done, total, text);
}

bool DbWorker::Control::stopRequested() const
{
    return m_worker->m_stop.load();
}

void DbWorker::Control::onStop(std::function<void()> handler)
{
    std::lock_guard lock(m_worker->m_mutex);
    m_worker->m_stopHandler = std::move(handler);
}

DbWorker::DbWorker(FbDatabase *like, QObject *parent)
    : QObject(parent)
    , m_like(like)
{
    allWorkers().insert(this);
}

DbWorker::~DbWorker()
{
    allWorkers().remove(this);
    if (!m_thread)
        return;
    stop();
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
}

bool DbWorker::start(Job job)
{
    if (m_thread)
        return false;
    // The attachment's name and credentials are read here, on the window's thread.
    if (m_like) {
        m_databaseName = m_like->databaseName();
        m_params = m_like->sessionParams();
    }
    m_stop = false;
    m_delivered = false;
    m_outcome = {};
    m_thread = QThread::create([this, job = std::move(job)] { run(job); });
    m_thread->setObjectName(QStringLiteral("DbWorker"));
    m_thread->start();
    return true;
}

void DbWorker::run(Job job)
{
    Control control(this);
    Outcome outcome;
    try {
        outcome.result = job(control);
        outcome.ok = !m_stop.load();
    } catch (const FbError &e) {
        outcome.message = e.message();
        outcome.error = std::current_exception();
    } catch (const std::exception &e) {
        outcome.message = QString::fromLocal8Bit(e.what());
        outcome.error = std::current_exception();
    }
    try {
        endAttachment(outcome.ok);
    } catch (const FbError &e) {
        if (outcome.ok)
            outcome = {false, {}, e.message(), std::current_exception()};
    }
    {
        std::lock_guard lock(m_mutex);
        m_stopHandler = nullptr;
    }
    m_outcome = outcome;
    QMetaObject::invokeMethod(this, &DbWorker::deliver, Qt::QueuedConnection);
}

void DbWorker::openAttachment()
{
    if (m_databaseName.isEmpty())
        throw FbError(QStringLiteral("No library to work on"));
    auto database = std::make_unique<FbDatabase>();
    database->setDatabaseName(m_databaseName);
    database->setParams(m_params);
    new FbTransaction(database.get(), database.get());
    database->open();
    database->defaultTransaction()->beginBatch();
    // Published only once attached, so that stop() never sees a half-made attachment.
    {
        std::lock_guard lock(m_mutex);
        m_database = std::move(database);
    }
    // A stop that came while attaching found nothing to cancel yet.
    if (m_stop.load())
        throw FbError(QStringLiteral("Operation was cancelled"));
}

void DbWorker::endAttachment(bool keepWork)
{
    if (!m_database)
        return;
    std::unique_ptr<FbDatabase> database;
    {
        std::lock_guard lock(m_mutex);
        database = std::move(m_database);
    }
    if (!database->connected())
        return;
    FbTransaction *transaction = database->defaultTransaction();
    if (keepWork) {
        transaction->commitBatch();
    } else {
        try {
            transaction->rollbackBatch();
        } catch (const FbError &) {
            // A cancelled or lost attachment has dropped the work already.
        }
    }
    database->close();
}

void DbWorker::deliver()
{
    if (m_delivered || !m_thread)
        return;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    m_delivered = true;
    const Outcome outcome = m_outcome;
    if (outcome.ok)
        emit finished(outcome.result);
    else
        emit failed(outcome.message, m_stop.load());
}

void DbWorker::stop()
{
    if (!m_thread)
        return;
    m_stop = true;
    std::function<void()> handler;
    {
        std::lock_guard lock(m_mutex);
        handler = m_stopHandler;
    }
    if (handler)
        handler();
    cancelInEngine();
}

void DbWorker::cancelInEngine()
{
    std::lock_guard lock(m_mutex);
    if (m_database)
        m_database->cancelOperation();
}

bool DbWorker::wait(int ms, bool deliverNow)
{
    if (!m_thread)
        return true;
    if (!m_thread->wait(QDeadlineTimer(ms)))
        return false;
    if (deliverNow)
        deliver();
    return true;
}

void DbWorker::stopAll()
{
    for (DbWorker *worker : std::as_const(allWorkers()))
        worker->stop();
}

bool DbWorker::anyRunning()
{
    for (DbWorker *worker : std::as_const(allWorkers()))
        if (worker->running())
            return true;
    return false;
}

bool DbWorker::stopAllAndWait(int ms)
{
    stopAll();
    QDeadlineTimer deadline(ms);
    bool allEnded = true;
    for (DbWorker *worker : allWorkers().values())
        allEnded = worker->wait(static_cast<int>(qMax<qint64>(0, deadline.remainingTime())), false) && allEnded;
    return allEnded;
}
