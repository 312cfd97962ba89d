#include "FbTransaction.h"

#include "FbApi.h"
#include "FbDatabase.h"

FbTransaction::FbTransaction(FbDatabase *database, QObject *parent)
    : QObject(parent)
    , m_database(database)
{
    if (!database->defaultTransaction())
        database->setDefaultTransaction(this);
}

FbTransaction::~FbTransaction()
{
    end();
    if (m_database && m_database->defaultTransaction() == this)
        m_database->setDefaultTransaction(nullptr);
}

void FbTransaction::ensureStarted()
{
    if (active())
        return;
    const QByteArray tpb = parameterBlock();
    ISC_STATUS_ARRAY status;
    isc_tr_handle handle = 0;
    isc_start_transaction(status, &handle, 1, m_database->handle(), static_cast<unsigned short>(tpb.size()),
                          tpb.constData());
    FbApi::check(status);
    m_handle = handle;
}

QByteArray FbTransaction::parameterBlock()
{
    static const char tpb[] = {isc_tpb_version3, isc_tpb_write,        isc_tpb_read_committed, isc_tpb_rec_version,
                               isc_tpb_wait,     isc_tpb_lock_timeout, 1,                      kLockTimeout};
    return QByteArray(tpb, sizeof tpb);
}

void FbTransaction::beginBatch()
{
    if (!m_database->connected())
        m_database->open();
    ensureStarted();
    m_inBatch = true;
}

void FbTransaction::commitBatch()
{
    m_inBatch = false;
    commitRetaining();
}

void FbTransaction::rollbackBatch()
{
    m_inBatch = false;
    if (!active())
        return;
    ISC_STATUS_ARRAY status;
    isc_rollback_retaining(status, &m_handle);
    FbApi::check(status);
}

FbBatch::FbBatch(FbTransaction *transaction)
    : m_transaction(transaction)
{
    m_transaction->beginBatch();
}

FbBatch::~FbBatch()
{
    if (m_done)
        return;
    try {
        m_transaction->rollbackBatch();
    } catch (const FbError &) {
        // The connection is gone; the engine has dropped the uncommitted work with it.
    }
}

void FbBatch::commit()
{
    m_done = true;
    m_transaction->commitBatch();
}

void FbTransaction::commitRetaining()
{
    if (!active())
        return;
    ISC_STATUS_ARRAY status;
    isc_commit_retaining(status, &m_handle);
    FbApi::check(status);
    emit changesCommitted();
}

void FbTransaction::end()
{
    const bool unfinishedBatch = m_inBatch;
    m_inBatch = false;
    if (!active())
        return;
    ISC_STATUS_ARRAY status;
    if (unfinishedBatch) {
        // A batch cut short by the connection closing is never half stored.
        isc_rollback_transaction(status, &m_handle);
        m_handle = 0;
        return;
    }
    isc_commit_transaction(status, &m_handle);
    if (status[0] == 1 && status[1] != 0) {
        isc_rollback_transaction(status, &m_handle);
        m_handle = 0;
    }
}
