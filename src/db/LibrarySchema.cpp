#include "LibrarySchema.h"

#include "BookSearchCopy.h"
#include "FbApi.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "OwnTransaction.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

// The script is compiled into this static library; its resource must be registered by hand.
static void initSchemaResource()
{
    Q_INIT_RESOURCE(schema);
}

namespace {

bool isIndexStatement(const QString &statement)
{
    return statement.startsWith(QLatin1String("CREATE INDEX"))
        || statement.startsWith(QLatin1String("CREATE DESCENDING INDEX"));
}

QString indexName(const QString &statement)
{
    const QStringList words = statement.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const qsizetype at = words.indexOf(QStringLiteral("INDEX"));
    return at >= 0 && at + 1 < words.size() ? words.at(at + 1) : QString();
}

// The text columns of a Unicode library take this collation: Ukrainian and Russian letters in
// their readers' order (Ґ after Г, Є after Е, І and Ї after И, Ё beside Е), Latin after them.
void useUkrainianCollation(FbDatabase &db)
{
    db.open();
    OwnTransaction tr(db);
    tr.execute(QStringLiteral("CREATE COLLATION UNICODE_UK FOR UTF8 FROM UNICODE 'LOCALE=uk_UA'"));
    tr.execute(QStringLiteral("ALTER CHARACTER SET UTF8 SET DEFAULT COLLATION UNICODE_UK"));
    tr.commit();
}

QStringList missingIn(const LibraryCatalog &catalog)
{
    const QStringList present = catalog.indexesOf(QStringLiteral("BOOK"));
    QStringList missing;
    for (const QString &name : LibrarySchema::indexNames())
        if (!present.contains(name))
            missing << name;
    return missing;
}

} // namespace

QStringList LibrarySchema::indexNames()
{
    QStringList names;
    for (const QString &statement : statements())
        if (isIndexStatement(statement))
            names << indexName(statement);
    return names;
}

QStringList LibrarySchema::missingIndexes(FbDatabase &db)
{
    if (!db.connected())
        db.open();
    return missingIn(db.catalog());
}

QStringList LibrarySchema::addMissingIndexes(FbDatabase &db,
                                             const std::function<void(const QStringList &)> &beforeBuilding)
{
    if (!db.connected())
        db.open();
    OwnTransaction tr(db);
    const QStringList missing = missingIn(LibraryCatalog::read(db, tr.handle()));
    if (missing.isEmpty())
        return {};
    if (beforeBuilding)
        beforeBuilding(missing);
    for (const QString &statement : statements())
        if (isIndexStatement(statement) && missing.contains(indexName(statement)))
            tr.execute(statement);
    // The indexes are built here; a failure rolls every one of them back.
    tr.commit();
    return missing;
}

QStringList LibrarySchema::buildMissingIndexes(FbDatabase &db,
                                               const std::function<bool(int, int, const QString &)> &beforeEach)
{
    if (!db.connected())
        db.open();
    const QStringList missing = missingIn(db.catalog());
    QStringList built;
    for (const QString &statement : statements()) {
        const QString name = indexName(statement);
        if (!isIndexStatement(statement) || !missing.contains(name))
            continue;
        if (!beforeEach(int(built.size()), int(missing.size()), name))
            break;
        OwnTransaction tr(db);
        tr.execute(statement);
        // The engine builds the index here; a failure or a cancel leaves it out altogether.
        tr.commit();
        built << name;
    }
    return built;
}

QStringList LibrarySchema::statements()
{
    initSchemaResource();
    QFile file(QStringLiteral(":/db/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        throw FbError(QStringLiteral("The library creation script is missing from the program"));
    QStringList result;
    QString current;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1String("--")))
            continue;
        current += (current.isEmpty() ? QString() : QStringLiteral("\n")) + line.trimmed();
        if (trimmed.endsWith(QLatin1Char(';'))) {
            result << current;
            current.clear();
        }
    }
    return result;
}

QString LibrarySchema::lcCtypeFor(bool unicode)
{
    return unicode ? QStringLiteral("UTF8") : QString::fromLatin1(kCharacterSet);
}

void LibrarySchema::create(const QString &path, bool withGiven, bool unicode)
{
    if (QFileInfo::exists(path))
        throw FbError(QStringLiteral("%1 already exists; it was left as it is").arg(path));
    FbDatabase::createDatabase(path, lcCtypeFor(unicode),
                               unicode ? QStringLiteral("UNICODE") : QString::fromLatin1(kCollation));
    FbDatabase db;
    FbTransaction tr(&db);
    db.setDatabaseName(path);
    db.setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("lc_ctype=") + lcCtypeFor(unicode)});
    if (unicode)
        useUkrainianCollation(db);
    FbQuery query(&db);
    for (const QString &statement : statements()) {
        if ((!withGiven && statement.contains(QLatin1String("CREATE TABLE GIVEN"))) || isIndexStatement(statement))
            continue;
        query.setSqlText(statement);
        query.execSQL();
    }
    // The indexes in one commit rather than one each, once the tables are committed.
    db.close();
    addMissingIndexes(db);
    BookSearchCopy::addIfMissing(db);
    db.close();
}
