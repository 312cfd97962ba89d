#pragma once

// Internal helpers over the Firebird client library; used only inside the database layer.
#include "FbError.h"

#include <ibase.h>

namespace FbApi {

// Turns a failed status vector into an FbError carrying the engine's own lines.
[[noreturn]] void raise(const ISC_STATUS *status);

inline void check(const ISC_STATUS *status)
{
    if (status[0] == 1 && status[1] != 0)
        raise(status);
}

} // namespace FbApi
