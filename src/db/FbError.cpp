#include "FbError.h"

#include <ibase.h>

namespace
{

bool holdsAny(const QList<long> &codes, std::initializer_list<long> wanted)
{
    for (const long code : codes)
        for (const long w : wanted)
            if (code == w)
                return true;
    return false;
}

} // namespace

bool FbError::connectionLost() const
{
    return holdsAny(m_codes, {isc_network_error, isc_net_read_err, isc_net_write_err, isc_lost_db_connection,
                              isc_conn_lost, isc_shutdown, isc_att_shutdown});
}

bool FbError::libraryInUse() const
{
    return holdsAny(m_codes, {isc_already_opened});
}

bool FbError::lockConflict() const
{
    return holdsAny(m_codes, {isc_lock_conflict, isc_update_conflict, isc_deadlock, isc_lock_timeout});
}
