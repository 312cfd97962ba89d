#include "BookImport.h"

#include "LangStr.h"

namespace
{

using namespace BookColumns;

QString quoted(const QString &text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1String("'"), QLatin1String("''")) + QLatin1Char('\'');
}

QString substitute(int field, const BookImport::Options &options)
{
    switch (field) {
    case Title:
        return options.unknownWord;
    case Year:
        return QStringLiteral("0000");
    default:
        return options.noneWord;
    }
}

struct RowOutcome {
    QStringList values;
    std::optional<BookImport::Rejected> rejected;
    int cut = 0;
    bool blank = true;
};

RowOutcome checkRow(const Csv::Record &row, const QList<int> &mapping, const BookImport::Options &options,
                    const BookImport::TextCheck &encodable)
{
    RowOutcome out;
    QStringList missing, unencodable;
    bool badYear = false;
    for (int field = 0; field < FieldCount; ++field) {
        const int source = mapping.value(field, -1);
        QString value = source >= 0 ? row.fields.value(source).trimmed() : QString();
        out.blank = out.blank && value.isEmpty();
        if (field == Year && !value.isEmpty()) {
            bool isNumber = false;
            const int year = value.toInt(&isNumber);
            badYear = !isNumber;
            value = QString::number(year);
        }
        if (value.isEmpty() && column(field).obligatory) {
            if (options.fillEmpty)
                value = substitute(field, options);
            else
                missing << QString::fromLatin1(column(field).labelKey);
        }
        if (value.size() > column(field).width) {
            value.truncate(column(field).width);
            ++out.cut;
        }
        if (!encodable(value))
            unencodable << QString::fromLatin1(column(field).labelKey);
        out.values << value;
    }
    if (!missing.isEmpty())
        out.rejected = BookImport::Rejected{row.line, BookImport::Problem::MissingFields, missing};
    else if (badYear)
        out.rejected = BookImport::Rejected{row.line, BookImport::Problem::BadYear, {QStringLiteral("lyear")}};
    else if (!unencodable.isEmpty())
        out.rejected = BookImport::Rejected{row.line, BookImport::Problem::Unencodable, unencodable};
    return out;
}

QString labels(const QStringList &keys)
{
    QStringList texts;
    for (const QString &key : keys)
        texts << LangStr(key);
    return texts.join(QLatin1String(", "));
}

} // namespace

BookImport::Plan BookImport::plan(const QList<Csv::Record> &rows, const QList<int> &mapping, const Options &options,
                                  const TextCheck &encodable)
{
    Plan result;
    for (const Csv::Record &row : rows) {
        const RowOutcome outcome = checkRow(row, mapping, options, encodable);
        if (outcome.blank) {
            ++result.blankRows;
        } else if (outcome.rejected) {
            result.rejected << *outcome.rejected;
        } else {
            result.statements << insertSql(outcome.values);
            result.lines << row.line;
            result.cutValues += outcome.cut;
        }
    }
    return result;
}

QString BookImport::insertSql(const QStringList &values)
{
    // The obligatory columns first, as the add-book window writes them.
    static const int order[] = {Title, Author, Year, Publisher, Genre, Seria, Place, Description, Clas};
    QStringList columns, literals;
    for (const int field : order) {
        const QString value = values.value(field);
        if (value.isEmpty() && !column(field).obligatory)
            continue;
        columns << QString::fromLatin1(column(field).name).toLower();
        literals << quoted(value);
    }
    return QStringLiteral("INSERT INTO book (%1) VALUES (%2)")
        .arg(columns.join(QLatin1String(", ")), literals.join(QLatin1String(", ")));
}

QString BookImport::problemText(const Rejected &rejected)
{
    switch (rejected.problem) {
    case Problem::MissingFields:
        return LangStr(QStringLiteral("cimpempty")) + QLatin1Char(' ') + labels(rejected.labelKeys);
    case Problem::BadYear:
        return LangStr(QStringLiteral("cimpyear"));
    case Problem::Unencodable:
        return LangStr(QStringLiteral("cimpchars")) + QLatin1Char(' ') + labels(rejected.labelKeys);
    }
    return {};
}

QStringList BookImport::report(const Plan &plan, int stored)
{
    QStringList lines;
    lines << LangStr(QStringLiteral("cimpadded")) + QLatin1Char(' ') + QString::number(stored);
    lines << LangStr(QStringLiteral("cimpcut")) + QLatin1Char(' ') + QString::number(plan.cutValues);
    lines << LangStr(QStringLiteral("cimprejected")) + QLatin1Char(' ') + QString::number(plan.rejected.size());
    for (const Rejected &r : plan.rejected)
        lines << LangStr(QStringLiteral("cimpline")) + QLatin1Char(' ') + QString::number(r.line) +
                     QLatin1String(": ") + problemText(r);
    return lines;
}
