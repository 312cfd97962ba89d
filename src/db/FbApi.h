#pragma once

// Internal helpers over the Firebird client library; used only inside the database layer.
#include "FbError.h"

#include <QByteArray>

#include <ibase.h>

namespace FbApi {

// Turns a failed status vector into an FbError carrying the engine's own lines.
[[noreturn]] void raise(const ISC_STATUS *status);

// The rows an executed statement touched, from the engine's record counts; -1 when unknown.
qint64 affectedRows(isc_stmt_handle *handle);

inline void check(const ISC_STATUS *status)
{
    if (status[0] == 1 && status[1] != 0)
        raise(status);
}

// Appends a parameter-block item with a one-byte length (database and service attach blocks);
// a longer value is cut at 255 bytes.
inline void appendShortString(QByteArray &block, char item, const QByteArray &value)
{
    const QByteArray v = value.left(255);
    block.append(item);
    block.append(static_cast<char>(v.size()));
    block.append(v);
}

} // namespace FbApi
