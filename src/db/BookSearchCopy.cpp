#include "BookSearchCopy.h"

#include "FbDatabase.h"
#include "FbError.h"
#include "LikePattern.h"
#include "OwnTransaction.h"
#include "TextCodec.h"

namespace
{
struct CopiedColumn {
    const char *name;
    int length;
};
// In the order of "Search by".
constexpr CopiedColumn kColumns[] = {{"TITLE", 65},  {"AUTHOR", 35}, {"PUBLISHER", 35},
                                     {"SERIA", 35},  {"GENRE", 25},  {"IYEAR", 4},
                                     {"DESCRIPTION", 255}, {"PLACE", 50}, {"CLAS", 45}};

// Letters taken as one, applied in this order after upper case (Ї becomes І, then И).
struct Pair {
    char16_t from;
    char16_t to;
};
constexpr Pair kPairs[] = {
    {u'Ё', u'Е'}, {u'Є', u'Е'}, {u'Ї', u'І'}, {u'І', u'И'}, {u'Ґ', u'Г'},
    {u'À', u'A'}, {u'Á', u'A'}, {u'Â', u'A'}, {u'Ã', u'A'}, {u'Ä', u'A'}, {u'Å', u'A'}, {u'Ā', u'A'}, {u'Ă', u'A'},
    {u'Ą', u'A'}, {u'Ç', u'C'}, {u'Ć', u'C'}, {u'Ĉ', u'C'}, {u'Ċ', u'C'}, {u'Č', u'C'}, {u'Ď', u'D'}, {u'Đ', u'D'},
    {u'È', u'E'}, {u'É', u'E'}, {u'Ê', u'E'}, {u'Ë', u'E'}, {u'Ē', u'E'}, {u'Ĕ', u'E'}, {u'Ė', u'E'}, {u'Ę', u'E'},
    {u'Ě', u'E'}, {u'Ĝ', u'G'}, {u'Ğ', u'G'}, {u'Ġ', u'G'}, {u'Ģ', u'G'}, {u'Ĥ', u'H'}, {u'Ħ', u'H'}, {u'Ì', u'I'},
    {u'Í', u'I'}, {u'Î', u'I'}, {u'Ï', u'I'}, {u'Ĩ', u'I'}, {u'Ī', u'I'}, {u'Ĭ', u'I'}, {u'Į', u'I'}, {u'İ', u'I'},
    {u'Ĵ', u'J'}, {u'Ķ', u'K'}, {u'Ĺ', u'L'}, {u'Ļ', u'L'}, {u'Ľ', u'L'}, {u'Ŀ', u'L'}, {u'Ł', u'L'}, {u'Ñ', u'N'},
    {u'Ń', u'N'}, {u'Ņ', u'N'}, {u'Ň', u'N'}, {u'Ò', u'O'}, {u'Ó', u'O'}, {u'Ô', u'O'}, {u'Õ', u'O'}, {u'Ö', u'O'},
    {u'Ø', u'O'}, {u'Ō', u'O'}, {u'Ŏ', u'O'}, {u'Ő', u'O'}, {u'Ŕ', u'R'}, {u'Ŗ', u'R'}, {u'Ř', u'R'}, {u'Ś', u'S'},
    {u'Ŝ', u'S'}, {u'Ş', u'S'}, {u'Š', u'S'}, {u'Ţ', u'T'}, {u'Ť', u'T'}, {u'Ŧ', u'T'}, {u'Ù', u'U'}, {u'Ú', u'U'},
    {u'Û', u'U'}, {u'Ü', u'U'}, {u'Ũ', u'U'}, {u'Ū', u'U'}, {u'Ŭ', u'U'}, {u'Ů', u'U'}, {u'Ű', u'U'}, {u'Ų', u'U'},
    {u'Ŵ', u'W'}, {u'Ý', u'Y'}, {u'Ÿ', u'Y'}, {u'Ŷ', u'Y'}, {u'Ź', u'Z'}, {u'Ż', u'Z'}, {u'Ž', u'Z'},
};

// Small letters of Windows-1251 that the engine's UPPER leaves as they are in such a library.
constexpr Pair kWin1251Upper[] = {{u'ђ', u'Ђ'}, {u'ѓ', u'Ѓ'}, {u'љ', u'Љ'}, {u'њ', u'Њ'}, {u'ќ', u'Ќ'},
                                  {u'ћ', u'Ћ'}, {u'џ', u'Џ'}, {u'ј', u'Ј'}, {u'ѕ', u'Ѕ'}, {u'ў', u'Ў'}};

QString tableName()
{
    return QString::fromLatin1(BookSearchCopy::kTable);
}

// The copy's columns compare byte for byte: starts-with then uses their indexes in any library.
QString binaryCollation(const ConnectionCharset &charset)
{
    return charset.kind() == ConnectionCharset::Kind::Utf8 ? QStringLiteral("UTF8") : QStringLiteral("WIN1251");
}

QString indexName(const CopiedColumn &c)
{
    return QStringLiteral("BOOK_SEARCH_") + QLatin1String(c.name);
}

// The library's own character set decides what the copy can hold, whatever the connection's.
ConnectionCharset libraryCharset(const LibraryCatalog &catalog)
{
    return ConnectionCharset::fromLcCtype(catalog.charset());
}

QString createTableSql(const ConnectionCharset &charset)
{
    QString sql = QStringLiteral("CREATE TABLE %1 (BOOK_ID INTEGER NOT NULL").arg(tableName());
    for (const CopiedColumn &c : kColumns)
        sql += QStringLiteral(", %1 VARCHAR(%2) CHARACTER SET %3 COLLATE %3")
                   .arg(BookSearchCopy::copyColumn(QLatin1String(c.name)))
                   .arg(c.length)
                   .arg(binaryCollation(charset));
    return sql + QStringLiteral(", CONSTRAINT PK_BOOK_SEARCH PRIMARY KEY (BOOK_ID))");
}

QString copiedValues(const QString &prefix, const ConnectionCharset &charset)
{
    QStringList values;
    for (const CopiedColumn &c : kColumns)
        values << BookSearchCopy::foldExpression(prefix + QLatin1String(c.name), charset);
    return values.join(QStringLiteral(", "));
}

QString copyColumnList()
{
    QStringList names{QStringLiteral("BOOK_ID")};
    for (const CopiedColumn &c : kColumns)
        names << BookSearchCopy::copyColumn(QLatin1String(c.name));
    return names.join(QStringLiteral(", "));
}

QStringList triggerSqls(const ConnectionCharset &charset)
{
    const QString table = tableName();
    return {
        QStringLiteral("CREATE TRIGGER BOOK_SEARCH_KEEP FOR BOOK ACTIVE AFTER INSERT OR UPDATE POSITION 30 AS\n"
                       "BEGIN\n"
                       "  IF (UPDATING AND NEW.ID <> OLD.ID) THEN DELETE FROM %1 WHERE BOOK_ID = OLD.ID;\n"
                       "  UPDATE OR INSERT INTO %1 (%2) VALUES (NEW.ID, %3) MATCHING (BOOK_ID);\n"
                       "END")
            .arg(table, copyColumnList(), copiedValues(QStringLiteral("NEW."), charset)),
        QStringLiteral("CREATE TRIGGER BOOK_SEARCH_DROP FOR BOOK ACTIVE AFTER DELETE POSITION 30 AS\n"
                       "BEGIN\n"
                       "  DELETE FROM %1 WHERE BOOK_ID = OLD.ID;\n"
                       "END")
            .arg(table),
        // The triggers keep the copy with rights of their own, so that every account allowed to
        // change BOOK on a server library still can; every account may search the copy.
        QStringLiteral("GRANT ALL ON %1 TO TRIGGER BOOK_SEARCH_KEEP").arg(table),
        QStringLiteral("GRANT ALL ON %1 TO TRIGGER BOOK_SEARCH_DROP").arg(table),
        QStringLiteral("GRANT SELECT ON %1 TO PUBLIC").arg(table),
    };
}

// Books added by another attachment between the creation and the filling are already there.
QString fillSql(const ConnectionCharset &charset)
{
    return QStringLiteral("INSERT INTO %1 (%2) SELECT b.ID, %3 FROM BOOK b "
                          "WHERE NOT EXISTS (SELECT 1 FROM %1 s WHERE s.BOOK_ID = b.ID)")
        .arg(tableName(), copyColumnList(), copiedValues(QStringLiteral("b."), charset));
}

BookSearchCopy::Missing missingIn(const LibraryCatalog &catalog)
{
    if (!catalog.hasRelation(tableName()))
        return BookSearchCopy::Missing::All;
    const QStringList present = catalog.indexesOf(tableName());
    for (const CopiedColumn &c : kColumns)
        if (!present.contains(indexName(c)))
            return BookSearchCopy::Missing::Indexes;
    return BookSearchCopy::Missing::Nothing;
}

} // namespace

QString BookSearchCopy::copyColumn(const QString &bookColumn)
{
    return QStringLiteral("S_") + bookColumn.toUpper();
}

QStringList BookSearchCopy::bookColumns()
{
    QStringList names;
    for (const CopiedColumn &c : kColumns)
        names << QLatin1String(c.name);
    return names;
}

QString BookSearchCopy::fold(const QString &text)
{
    QString result = text;
    for (QChar &c : result) {
        c = c.toUpper();
        for (const Pair &p : kPairs)
            if (c.unicode() == p.from)
                c = QChar(p.to);
    }
    return result;
}

QString BookSearchCopy::foldExpression(const QString &expression, const ConnectionCharset &charset)
{
    QString result = QStringLiteral("UPPER(") + expression + QLatin1Char(')');
    if (charset.kind() == ConnectionCharset::Kind::Win1251)
        for (const Pair &p : kWin1251Upper)
            result = QStringLiteral("REPLACE(%1, '%2', '%3')").arg(result, QChar(p.from), QChar(p.to));
    for (const Pair &p : kPairs) {
        const QChar from(p.from);
        if (charset.firstUnencodable(QStringView(&from, 1)) >= 0)
            continue;
        result = QStringLiteral("REPLACE(%1, '%2', '%3')").arg(result, from, QChar(p.to));
    }
    return result;
}

BookSearchCopy::Missing BookSearchCopy::missing(FbDatabase &db)
{
    if (!db.connected())
        db.open();
    return missingIn(db.catalog());
}

void BookSearchCopy::createTable(FbDatabase &db)
{
    if (!db.connected())
        db.open();
    OwnTransaction tr(db);
    const LibraryCatalog catalog = LibraryCatalog::read(db, tr.handle());
    if (missingIn(catalog) != Missing::All)
        return;
    const ConnectionCharset charset = libraryCharset(catalog);
    tr.execute(createTableSql(charset));
    for (const QString &trigger : triggerSqls(charset))
        tr.execute(trigger);
    tr.commit();
}

void BookSearchCopy::fillAndIndex(FbDatabase &db)
{
    if (!db.connected())
        db.open();
    const ConnectionCharset charset = libraryCharset(db.catalog());
    OwnTransaction fill(db);
    fill.execute(fillSql(charset));
    fill.commit();
    // Built once the rows are in: one pass over the table per index.
    OwnTransaction build(db);
    const QStringList present = LibraryCatalog::read(db, build.handle()).indexesOf(tableName());
    for (const CopiedColumn &c : kColumns)
        if (!present.contains(indexName(c)))
            build.execute(QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                              .arg(indexName(c), tableName(), copyColumn(QLatin1String(c.name))));
    build.commit();
}

bool BookSearchCopy::addIfMissing(FbDatabase &db, const std::function<void()> &beforeFilling)
{
    if (missing(db) == Missing::Nothing)
        return false;
    if (beforeFilling)
        beforeFilling();
    createTable(db);
    fillAndIndex(db);
    return true;
}

QString BookSearchCopy::condition(int field, const QString &text, Match match)
{
    if (field < 0 || field >= int(std::size(kColumns)))
        return QString();
    const QString folded = fold(text);
    const QString column = copyColumn(QLatin1String(kColumns[field].name));
    if (match == Match::StartsWith)
        return column + QStringLiteral(" STARTING WITH '") + QString(folded).replace(QLatin1Char('\''), QLatin1String("''")) +
               QLatin1Char('\'');
    return likeContains(column, folded);
}

QString BookSearchCopy::selectSql(const QString &condition)
{
    // "+ 0" keeps the engine from reading BOOK first: the copy is scanned, BOOK read by key.
    return QStringLiteral("SELECT book.* FROM %1 JOIN book ON book.id = %1.book_id + 0 WHERE ").arg(tableName()) +
           condition;
}

QString BookSearchCopy::countSql(const QString &condition)
{
    return QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ").arg(tableName()) + condition;
}
