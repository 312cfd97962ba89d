#pragma once

#include <QObject>
#include <QPointer>
#include <QVariant>

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

class FbDatabase;
class QThread;

// Runs one job at a time off the window's thread, with an attachment of its own to the library,
// so that a long statement (a count at a million books, building indexes, a statement typed by
// the user, import, backup) never freezes the window. Everything it reports arrives on the
// window's thread.
class DbWorker : public QObject
{
    Q_OBJECT
public:
    // Handed to the job; used on the worker's thread only.
    class Control
    {
    public:
        // The worker's own attachment, opened on first use with the name and parameters of the
        // database the worker was made for. What the job's statements change is held back and
        // made durable when the job ends without an exception (or at commit()); it is undone
        // when the job throws or was stopped.
        FbDatabase &database();
        // Makes the work so far durable (for a job of many steps that a close may cut short).
        void commit();
        // Posted to the window's thread, at most a few times a second (the last one always).
        void progress(qint64 done, qint64 total, const QString &text = {});
        bool stopRequested() const;
        // Called on the window's thread by stop(), for work the engine cannot cancel by itself
        // (a services request, a network library); cleared when the job ends.
        void onStop(std::function<void()> handler);

    private:
        friend class DbWorker;
        explicit Control(DbWorker *worker) : m_worker(worker) {}
        DbWorker *m_worker;
        qint64 m_lastProgressMs = -1;
    };
    using Job = std::function<QVariant(Control &)>;

    // like: the connection whose library the job works on; null for a job without a library.
    explicit DbWorker(FbDatabase *like = nullptr, QObject *parent = nullptr);
    // Stops a running job and waits for it: nothing is left running behind a closed window.
    ~DbWorker() override;

    // Returns at once; a job started while another runs is refused (false).
    bool start(Job job);
    // The job's stopRequested() becomes true and its running statement is cancelled in the engine.
    void stop();
    bool running() const { return m_thread != nullptr; }
    // Waits up to ms for the job's thread to end (tests and shutdown); its outcome is delivered
    // by the event loop afterwards, or at once when deliver is set.
    bool wait(int ms, bool deliver = true);

    // Stops every running job (a termination signal does this before the program closes).
    static void stopAll();
    static bool anyRunning();
    // Stops every job and waits for each to end, up to ms in all.
    static bool stopAllAndWait(int ms);

    // What the last failed job threw, for a caller that reports it as it would have on its own
    // thread; null after a success. Valid once failed() has been emitted.
    std::exception_ptr lastError() const { return m_outcome.error; }

signals:
    void progress(qint64 done, qint64 total, const QString &text);
    void finished(const QVariant &result);
    // message: the engine's own text (or the job's); stopped: the job ended because of stop().
    void failed(const QString &message, bool stopped);

private:
    struct Outcome {
        bool ok = false;
        QVariant result;
        QString message;
        std::exception_ptr error;
    };
    void run(Job job);
    void openAttachment();
    void endAttachment(bool keepWork);
    void deliver();
    void cancelInEngine();

    QPointer<FbDatabase> m_like;
    QString m_databaseName;
    QStringList m_params;
    QThread *m_thread = nullptr;
    std::atomic<bool> m_stop{false};
    Outcome m_outcome;
    bool m_delivered = true;
    // The worker's attachment and the stop handler, shared with stop() on the window's thread.
    std::mutex m_mutex;
    std::unique_ptr<FbDatabase> m_database;
    std::function<void()> m_stopHandler;
};
