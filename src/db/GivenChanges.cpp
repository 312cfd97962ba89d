#include "GivenChanges.h"

#include "FbError.h"
#include "FbQuery.h"

namespace GivenChanges {

std::optional<long long> count(FbDatabase &db)
{
    try {
        FbQuery query(&db);
        query.setSqlText(QStringLiteral("SELECT GEN_ID(GIVEN_CHANGES, 0) FROM RDB$DATABASE"));
        query.open();
        const QVariant value = query.value(0, 0);
        return value.isValid() ? std::optional<long long>(value.toLongLong()) : std::nullopt;
    } catch (const FbError &) {
        return std::nullopt;
    }
}

} // namespace GivenChanges
