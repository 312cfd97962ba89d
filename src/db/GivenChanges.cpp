#include "GivenChanges.h"

#include "FbError.h"
#include "FbQuery.h"

GivenChanges::GivenChanges(FbDatabase *db, QObject *queryParent, const QString &queryName)
    : m_query(new FbQuery(db, queryParent))
{
    m_query->setObjectName(queryName);
    m_query->setSqlText(QStringLiteral("SELECT GEN_ID(GIVEN_CHANGES, 0) FROM RDB$DATABASE"));
}

bool GivenChanges::readNow()
{
    const std::optional<qint64> now = count();
    if (now && now == m_readAt)
        return false;
    m_readAt = now;
    return true;
}

std::optional<qint64> GivenChanges::count()
{
    try {
        m_query->close();
        m_query->open();
        const QVariant value = m_query->value(0, 0);
        m_query->close();
        return value.isValid() ? std::optional<qint64>(value.toLongLong()) : std::nullopt;
    } catch (const FbError &) {
        return std::nullopt;
    }
}
