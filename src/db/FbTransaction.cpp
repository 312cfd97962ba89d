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
    static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_consistency};
    ISC_STATUS_ARRAY status;
    isc_tr_handle handle = 0;
    isc_start_transaction(status, &handle, 1, m_database->handle(), static_cast<unsigned short>(sizeof tpb), tpb);
    FbApi::check(status);
    m_handle = handle;
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
    if (!active())
        return;
    ISC_STATUS_ARRAY status;
    isc_commit_transaction(status, &m_handle);
    if (status[0] == 1 && status[1] != 0) {
        isc_rollback_transaction(status, &m_handle);
        m_handle = 0;
    }
}
