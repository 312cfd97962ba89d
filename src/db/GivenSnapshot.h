#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariant>

#include <functional>
#include <optional>

class DbWorker;
class FbDatabase;
class FbQuery;

// What the window keeps from GIVEN beside a list (the lent marks, the due dates), read on a
// worker of its own so that a hundred thousand loans never hold the window, and read again only
// when GIVEN's change counter moved (every time where the library has no counter). The counter
// is read on the worker too: a check never waits on the window's attachment, nor on a library
// across a network.
class GivenSnapshot : public QObject
{
    Q_OBJECT
public:
    // build turns the statement's rows into what the reader keeps; it runs on the worker's thread.
    using Build = std::function<QVariant(FbQuery &rows)>;
    GivenSnapshot(FbDatabase *db, const QString &statement, Build build, const QString &name, QObject *parent);

    // Reads again when GIVEN changed since the last read; what was read comes with arrived().
    // The check starts a moment later, once the list that asked for it is painted; refreshes
    // meanwhile, or while a check runs, are served by one check after it.
    void refresh();
    DbWorker *worker() const { return m_worker; }

signals:
    // build's result; an invalid value when the read failed (a library without GIVEN) or the
    // connection is gone.
    void arrived(const QVariant &result);
    // Every check, when it ends: read tells whether GIVEN had changed and was read.
    void checked(bool read);

private:
    void startChecking();
    void checkEnded(const QVariant &result, bool ok);

    FbDatabase *m_db;
    QString m_statement;
    Build m_build;
    DbWorker *m_worker;
    // The counter when GIVEN was last read.
    std::optional<long long> m_readAt;
    // Refreshed while a check ran.
    bool m_checkAgain = false;
    QTimer m_soon;
    // Steps at every connect and disconnect: what was read for another connection is dropped.
    int m_connection = 0;
};
