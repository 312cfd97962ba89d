#pragma once

#include <QObject>
#include <QPointer>

#include "FbDatabase.h"

// The one transaction of a connection: write + consistency, started by the first statement.
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
    // Makes the work so far durable and keeps the transaction context and open cursors.
    void commitRetaining();
    // Ends the transaction at disconnection: commit, or roll back if the commit fails.
    void end();

signals:
    // A statement's changes have just been made durable.
    void changesCommitted();

private:
    QPointer<FbDatabase> m_database;
    unsigned int m_handle = 0;
};
