#include "BookImport.h"

#include "LangStr.h"

namespace
{

using namespace BookColumns;

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

QString labels(const QStringList &keys)
{
    QStringList texts;
    for (const QString &key : keys)
        texts << LangStr(key);
    return texts.join(QLatin1String(", "));
}

} // namespace

void BookImport::Tally::reject(const Rejected &r)
{
    if (rejected.size() < kListed)
        rejected << r;
    ++rejectedCount;
}

std::optional<QStringList> BookImport::check(const Csv::Record &row, const QList<int> &mapping,
                                             const Options &options, const TextCheck &encodable, Tally &tally)
{
    QStringList values, missing, unencodable;
    bool badYear = false, blank = true;
    int cut = 0;
    for (int field = 0; field < FieldCount; ++field) {
        const int source = mapping.value(field, -1);
        QString value = source >= 0 ? Csv::fromSpreadsheetSafe(row.fields.value(source)).trimmed() : QString();
        blank = blank && value.isEmpty();
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
            ++cut;
        }
        if (!encodable(value))
            unencodable << QString::fromLatin1(column(field).labelKey);
        values << value;
    }
    if (blank)
        ++tally.blankRows;
    else if (!missing.isEmpty())
        tally.reject({row.line, Problem::MissingFields, missing});
    else if (badYear)
        tally.reject({row.line, Problem::BadYear, {QStringLiteral("lyear")}});
    else if (!unencodable.isEmpty())
        tally.reject({row.line, Problem::Unencodable, unencodable});
    else {
        tally.cutValues += cut;
        return values;
    }
    return std::nullopt;
}

BookImport::Plan BookImport::plan(const QList<Csv::Record> &rows, const QList<int> &mapping, const Options &options,
                                  const TextCheck &encodable)
{
    Plan result;
    for (const Csv::Record &row : rows) {
        if (const auto values = check(row, mapping, options, encodable, result)) {
            result.rows << *values;
            result.lines << row.line;
        }
    }
    return result;
}

QString BookImport::insertStatement()
{
    QStringList columns, marks;
    for (int field = 0; field < FieldCount; ++field) {
        columns << QString::fromLatin1(column(field).name).toLower();
        marks << QStringLiteral("?");
    }
    return QStringLiteral("INSERT INTO book (%1) VALUES (%2)")
        .arg(columns.join(QLatin1String(", ")), marks.join(QLatin1String(", ")));
}

QList<QString> BookImport::parameters(const QStringList &values)
{
    QList<QString> out;
    for (int field = 0; field < FieldCount; ++field) {
        const QString value = values.value(field);
        out << (value.isEmpty() && !column(field).obligatory ? QString() : value);
    }
    return out;
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
    case Problem::WrongEncoding:
        return LangStr(QStringLiteral("cimpmixenc"));
    case Problem::ControlCharacter:
        return LangStr(QStringLiteral("cimpcontrol"));
    }
    return {};
}

QStringList BookImport::report(const Tally &tally, int stored)
{
    QStringList lines;
    lines << LangStr(QStringLiteral("cimpadded")) + QLatin1Char(' ') + QString::number(stored);
    lines << LangStr(QStringLiteral("cimpcut")) + QLatin1Char(' ') + QString::number(tally.cutValues);
    lines << LangStr(QStringLiteral("cimprejected")) + QLatin1Char(' ') + QString::number(tally.rejectedCount);
    for (const Rejected &r : tally.rejected)
        lines << LangStr(QStringLiteral("cimpline")) + QLatin1Char(' ') + QString::number(r.line) +
                     QLatin1String(": ") + problemText(r);
    if (tally.rejectedCount > tally.rejected.size())
        lines << LangStr(QStringLiteral("cimpmore")) + QLatin1Char(' ') +
                     QString::number(tally.rejectedCount - tally.rejected.size());
    return lines;
}
