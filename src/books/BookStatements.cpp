#include "BookStatements.h"

#include "LikePattern.h"
#include "TextCodec.h"

#include <QRegularExpression>

namespace BookStatements
{

namespace
{

struct SearchColumn {
    const char *column;
    int length;
};

// In the order of the "Search by" entries; Id is the last.
const SearchColumn kSearchColumns[kSearchFieldCount] = {
    {"title", kTitleLength},
    {"author", kAuthorLength},
    {"publisher", kPublisherLength},
    {"seria", kSeriaLength},
    {"genre", kGenreLength},
    {"iyear", kYearLength},
    {"description", kDescriptionLength},
    {"place", kPlaceLength},
    {"clas", kClasLength},
    {"id", 0},
};

// In the order of the "Arrange by" entries; Id is the first.
const char *const kOrderColumns[kOrderFieldCount] = {"id",    "title", "author",      "publisher", "seria",
                                                     "genre", "iyear", "description", "place",     "clas"};

QString literal(const QString &text)
{
    return QLatin1Char('\'') + escaped(text) + QLatin1Char('\'');
}

} // namespace

QString escaped(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QStringLiteral("''"));
    return out;
}

QString cut(const QString &text, int length)
{
    return text.left(length);
}

std::optional<qint64> parseId(const QString &text)
{
    bool ok = false;
    const qint64 id = text.trimmed().toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return id;
}

std::optional<QString> searchSql(int field, const QString &text)
{
    if (field < 0 || field >= kSearchFieldCount)
        return QString();
    QString sql = QStringLiteral("SELECT * FROM book WHERE ");
    if (field == kSearchById) {
        const std::optional<qint64> id = parseId(text);
        if (!id)
            return std::nullopt;
        return sql + QStringLiteral("id = ") + QString::number(*id);
    }
    // Like patterns are not bound to the column's length, so the text goes in whole.
    return sql + likeContains(QLatin1String(kSearchColumns[field].column), text);
}

QString unorderedBase(const QString &base)
{
    // A reload after an ordering keeps the ordered statement as its base; take the ordering off
    // again, or the next one would append a second clause that the database rejects.
    static const QRegularExpression ordering(QStringLiteral("\\r\\n ORDER BY [a-z]+ (ASC|DESC);\\r\\n\\z"));
    QString result = base;
    for (;;) {
        const QRegularExpressionMatch match = ordering.match(result);
        if (!match.hasMatch())
            return result;
        result.truncate(match.capturedStart() + 2);
    }
}

QString orderSql(const QString &base, int field, bool ascending)
{
    if (base.isEmpty() || field < 0 || field >= kOrderFieldCount)
        return QString();
    return unorderedBase(base) + QStringLiteral(" ORDER BY ") + QLatin1String(kOrderColumns[field]) +
           (ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC")) + QLatin1Char(';');
}

int orderFieldOfColumn(const QString &column)
{
    for (int field = 0; field < kOrderFieldCount; ++field)
        if (column.compare(QLatin1String(kOrderColumns[field]), Qt::CaseInsensitive) == 0)
            return field;
    return -1;
}

InsertStatement insertSql(const BookFields &book, bool allowEmpty, const QString &unknownWord, const QString &noneWord)
{
    InsertStatement result;
    bool ready = true;

    struct Obligatory {
        const QString &text;
        int length;
        const char *labelKey;
        QString substitute;
    };
    const Obligatory obligatory[] = {
        {book.title, kTitleLength, "ltitle", unknownWord},
        {book.author, kAuthorLength, "lauthor", noneWord},
        {book.year, kYearLength, "lyear", QStringLiteral("0000")},
        {book.publisher, kPublisherLength, "lpub", noneWord},
        {book.genre, kGenreLength, "lgenre", noneWord},
    };
    QStringList values;
    for (const Obligatory &field : obligatory) {
        QString value;
        if (!field.text.isEmpty()) {
            value = cut(field.text, field.length);
            if (&field.text == &book.year) {
                bool ok = false;
                const qint64 year = field.text.trimmed().toLongLong(&ok);
                if (!ok) {
                    result.badYear = true;
                    ready = false;
                }
                value = cut(QString::number(year), field.length);
            }
        } else if (allowEmpty) {
            value = cut(field.substitute, field.length);
        } else {
            result.missingKeys << QLatin1String(field.labelKey);
            ready = false;
        }
        values << literal(value);
    }

    QString columns = QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre");
    QString valuesPart = QStringLiteral(" VALUES (") + values.join(QStringLiteral(", "));

    struct Optional {
        const QString &text;
        int length;
        const char *column;
    };
    const Optional optional[] = {
        {book.seria, kSeriaLength, "seria"},
        {book.place, kPlaceLength, "place"},
        {book.description, kDescriptionLength, "description"},
        {book.clas, kClasLength, "clas"},
    };
    for (const Optional &field : optional) {
        if (field.text.isEmpty())
            continue;
        columns += QStringLiteral(", ") + QLatin1String(field.column);
        valuesPart += QStringLiteral(", ") + literal(cut(field.text, field.length));
    }
    if (ready)
        result.sql = columns + QStringLiteral(") ") + valuesPart + QStringLiteral(");");
    return result;
}

namespace
{
struct Column {
    QString BookFields::*field;
    const char *name;
    const char *labelKey;
    int length;
};
// In the window's order.
const Column kColumns[] = {
    {&BookFields::title, "title", "ltitle", kTitleLength},
    {&BookFields::author, "author", "lauthor", kAuthorLength},
    {&BookFields::year, "iyear", "lyear", kYearLength},
    {&BookFields::seria, "seria", "lser", kSeriaLength},
    {&BookFields::publisher, "publisher", "lpub", kPublisherLength},
    {&BookFields::place, "place", "lplace", kPlaceLength},
    {&BookFields::genre, "genre", "lgenre", kGenreLength},
    {&BookFields::description, "description", "ldesc", kDescriptionLength},
    {&BookFields::clas, "clas", "lclas", kClasLength},
};
} // namespace

QVector<FieldUpdate> fieldUpdates(const BookFields &stored, const BookFields &edited, const QString &id)
{
    QVector<FieldUpdate> updates;
    for (const Column &column : kColumns) {
        const QString &now = edited.*column.field;
        if (now == stored.*column.field)
            continue;
        const QString value = cut(now, column.length);
        updates.append({column.field, QLatin1String(column.labelKey), value,
                        QStringLiteral("UPDATE book SET ") + QLatin1String(column.name) + QStringLiteral(" = ") +
                            literal(value) + QStringLiteral(" WHERE id = ") + id + QLatin1Char(';')});
    }
    return updates;
}

QString guardSql(const BookFields &loaded, const QString &id)
{
    QString sql = QStringLiteral("UPDATE book SET id = id WHERE id = ") + id;
    for (const Column &column : kColumns)
        sql += QStringLiteral(" AND COALESCE(") + QLatin1String(column.name) + QStringLiteral(", '') = ") +
               literal(loaded.*column.field);
    return sql;
}

QString currentFieldsSql(const QString &id)
{
    QStringList names;
    for (const Column &column : kColumns)
        names << QLatin1String(column.name);
    return QStringLiteral("SELECT ") + names.join(QStringLiteral(", ")) + QStringLiteral(" FROM book WHERE id = ") + id;
}

QVector<std::pair<QString, QString BookFields::*>> labelledFields()
{
    QVector<std::pair<QString, QString BookFields::*>> fields;
    for (const Column &column : kColumns)
        fields.append({QLatin1String(column.labelKey), column.field});
    return fields;
}

QStringList updateSqls(const BookFields &stored, const BookFields &edited, const QString &id)
{
    QStringList sqls;
    for (const FieldUpdate &update : fieldUpdates(stored, edited, id))
        sqls << update.sql;
    return sqls;
}

QVector<std::pair<QString, QString>> labelledFields(const BookFields &book)
{
    QVector<std::pair<QString, QString>> fields;
    for (const Column &column : kColumns)
        fields.append({QLatin1String(column.labelKey), book.*column.field});
    return fields;
}

std::optional<Unstorable> firstUnstorable(const QVector<std::pair<QString, QString>> &fields,
                                          const ConnectionCharset &charset)
{
    for (const auto &[labelKey, text] : fields) {
        const qsizetype at = charset.firstUnencodable(text);
        if (at < 0)
            continue;
        // A character beyond the first plane is two code units; name it whole.
        const qsizetype length = text.at(at).isHighSurrogate() && at + 1 < text.size() ? 2 : 1;
        return Unstorable{labelKey, text.mid(at, length)};
    }
    return std::nullopt;
}

QString deleteSql(qint64 id)
{
    return QStringLiteral("DELETE FROM book WHERE id = ") + QString::number(id) + QLatin1Char(';');
}

} // namespace BookStatements
