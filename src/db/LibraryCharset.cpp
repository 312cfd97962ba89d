#include "LibraryCharset.h"

#include "FbError.h"
#include "OwnTransaction.h"

namespace LibraryCharset {

QString of(FbDatabase &db)
{
    try {
        OwnTransaction tr(db);
        return tr.column(QStringLiteral("SELECT RDB$CHARACTER_SET_NAME FROM RDB$DATABASE")).value(0);
    } catch (const FbError &) {
        return {};
    }
}

} // namespace LibraryCharset
