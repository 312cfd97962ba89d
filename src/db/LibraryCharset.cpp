#include "LibraryCharset.h"

#include "FbDatabase.h"
#include "FbError.h"

namespace LibraryCharset {

QString of(FbDatabase &db)
{
    try {
        return db.catalog().charset();
    } catch (const FbError &) {
        return {};
    }
}

} // namespace LibraryCharset
