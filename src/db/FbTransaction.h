#pragma once

#include <QObject>
#include <QPointer>

#include "FbDatabase.h"

// The one transaction of a connection, started by the first statement: read committed with
// record versions and a short lock wait, so that a second program on a server library, or a
// worker of this program with an attachment of its own, is not kept waiting behind this one.
// (At table stability a transaction that has read a table keeps every other attachment from
// writing it until the program disconnects; on a local file the engine already keeps other
// programs out, so that reservation would only ever block this program's own workers.)
class FbTransaction : public QObject
{
    Q_OBJECT
public:
    explicit FbTransaction(FbDatabase *database, QObject *parent = nullptr);
    ~FbTransaction() override;

    FbDatabase *database() const { return m_database; }
    bool active() const { return m_handle != 0; }
    unsigned int *handle() { return &m_handle; }

    void ensureStarted();
    // The parameter block every transaction of the program starts with.
    static QByteArray parameterBlock();
    static constexpr int kLockTimeout = 5; // seconds

    // A batch holds back the commit that follows each statement: the statements run between
    // beginBatch() and commitBatch() are stored together, or all undone by rollbackBatch().
    void beginBatch();
    void commitBatch();
    void rollbackBatch();
    bool inBatch() const { return m_inBatch; }

    // Makes the work so far durable and keeps the transaction context and open cursors.
    void commitRetaining();
    // Ends the transaction at disconnection: commit, or roll back if the commit fails.
    void end();
    // The connection is gone with the transaction's work: nothing is left to end.
    void forget()
    {
        m_handle = 0;
        m_inBatch = false;
    }

signals:
    // A statement's changes have just been made durable.
    void changesCommitted();

private:
    QPointer<FbDatabase> m_database;
    unsigned int m_handle = 0;
    bool m_inBatch = false;
};

// Scope of an all-or-nothing batch: rolled back unless commit() was reached.
class FbBatch
{
public:
    explicit FbBatch(FbTransaction *transaction);
    ~FbBatch();
    FbBatch(const FbBatch &) = delete;
    FbBatch &operator=(const FbBatch &) = delete;
    void commit();

private:
    FbTransaction *m_transaction;
    bool m_done = false;
};
