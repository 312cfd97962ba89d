#include "LibraryCatalog.h"

#include "FbDatabase.h"
#include "FbError.h"
#include "OwnTransaction.h"

#include <ibase.h>

#include <algorithm>

namespace {

// One text a row, "kind:relation:name"; the names of the engine's own objects are left out. As
// bytes: a name the connection's character set cannot hold (a table someone made with a UTF8
// connection) comes through rather than failing the reading; the program's names are Latin.
const char *const kCatalogSql =
    "SELECT _OCTETS 'charset::' || COALESCE(CAST(TRIM(RDB$CHARACTER_SET_NAME) AS VARCHAR(128) CHARACTER SET OCTETS), '') "
    "FROM RDB$DATABASE "
    "UNION ALL SELECT _OCTETS 'relation::' || CAST(TRIM(RDB$RELATION_NAME) AS VARCHAR(128) CHARACTER SET OCTETS) "
    "FROM RDB$RELATIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
    "UNION ALL SELECT _OCTETS 'field:GIVEN:' || CAST(TRIM(RDB$FIELD_NAME) AS VARCHAR(128) CHARACTER SET OCTETS) "
    "FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = 'GIVEN' "
    "UNION ALL SELECT _OCTETS 'index:' || CAST(TRIM(RDB$RELATION_NAME) AS VARCHAR(128) CHARACTER SET OCTETS) || "
    "_OCTETS ':' || CAST(TRIM(RDB$INDEX_NAME) AS VARCHAR(128) CHARACTER SET OCTETS) "
    "FROM RDB$INDICES WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
    "UNION ALL SELECT _OCTETS 'trigger::' || CAST(TRIM(RDB$TRIGGER_NAME) AS VARCHAR(128) CHARACTER SET OCTETS) "
    "FROM RDB$TRIGGERS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
    "UNION ALL SELECT _OCTETS 'generator::' || CAST(TRIM(RDB$GENERATOR_NAME) AS VARCHAR(128) CHARACTER SET OCTETS) "
    "FROM RDB$GENERATORS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0";

// The same rows as one text, each ended by the byte 1 (which no name holds).
const char *const kCatalogTextSql =
    "SELECT CAST(LIST(r || ASCII_CHAR(1), '') AS VARCHAR(%1) CHARACTER SET OCTETS) FROM (%2) c (r)";
constexpr int kCatalogTextWidth = 32000;

// Wide enough for two names of 31 characters in any character set; rows this narrow come a
// hundred to a fetch.
constexpr int kRowWidth = 320;

QString key(const char *kind, const QString &relation, const QString &name)
{
    return QString::fromLatin1(kind) + QLatin1Char(':') + relation + QLatin1Char(':') + name;
}

// The catalogue's rows: as one text, answered in one round trip, when they fit in it.
QStringList catalogRows(FbDatabase &db, unsigned int *transaction)
{
    const QString all = QString::fromLatin1(kCatalogTextSql).arg(kCatalogTextWidth).arg(QString::fromLatin1(kCatalogSql));
    try {
        QStringList rows;
        const QByteArray text = selectValue(db, transaction, all, kCatalogTextWidth);
        for (const QByteArray &row : text.split('\x01'))
            if (!row.isEmpty())
                rows << db.charset().decode(row).trimmed();
        return rows;
    } catch (const FbError &e) {
        if (!e.codes().contains(isc_string_truncation))
            throw;
        // Too long for one text (a library with a great many tables): row by row.
        return selectColumn(db, transaction, QString::fromLatin1(kCatalogSql), kRowWidth);
    }
}

} // namespace

LibraryCatalog LibraryCatalog::read(FbDatabase &db, unsigned int *transaction)
{
    LibraryCatalog catalog;
    for (const QString &row : catalogRows(db, transaction)) {
        if (row.startsWith(QLatin1String("charset::")))
            catalog.m_charset = row.mid(9);
        else
            catalog.m_names.insert(row);
    }
    return catalog;
}

bool LibraryCatalog::hasRelation(const QString &name) const
{
    return m_names.contains(key("relation", {}, name));
}

bool LibraryCatalog::hasField(const QString &relation, const QString &field) const
{
    return m_names.contains(key("field", relation, field));
}

bool LibraryCatalog::hasTrigger(const QString &name) const
{
    return m_names.contains(key("trigger", {}, name));
}

bool LibraryCatalog::hasGenerator(const QString &name) const
{
    return m_names.contains(key("generator", {}, name));
}

bool LibraryCatalog::hasIndex(const QString &name) const
{
    // Index names are the library's, not a table's: one table's is no other's.
    const QString suffix = QLatin1Char(':') + name;
    return std::any_of(m_names.begin(), m_names.end(), [&](const QString &entry) {
        return entry.startsWith(QLatin1String("index:")) && entry.endsWith(suffix);
    });
}

QStringList LibraryCatalog::indexesOf(const QString &relation) const
{
    const QString prefix = key("index", relation, {});
    QStringList names;
    for (const QString &entry : m_names)
        if (entry.startsWith(prefix))
            names << entry.mid(prefix.size());
    return names;
}
