#include "LibrarySchema.h"

#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "FbTransaction.h"

#include <QFile>
#include <QFileInfo>

// The script is compiled into this static library; its resource must be registered by hand.
static void initSchemaResource()
{
    Q_INIT_RESOURCE(schema);
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

void LibrarySchema::create(const QString &path, bool withGiven)
{
    if (QFileInfo::exists(path))
        throw FbError(QStringLiteral("%1 already exists; it was left as it is").arg(path));
    FbDatabase::createDatabase(path, QString::fromLatin1(kCharacterSet), QString::fromLatin1(kCollation));
    FbDatabase db;
    FbTransaction tr(&db);
    db.setDatabaseName(path);
    db.setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("lc_ctype=WIN1251")});
    FbQuery query(&db);
    for (const QString &statement : statements()) {
        if (!withGiven && statement.contains(QLatin1String("CREATE TABLE GIVEN")))
            continue;
        query.setSqlText(statement);
        query.execSQL();
    }
    db.close();
}
