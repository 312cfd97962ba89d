#include "LoanStatements.h"

#include "LikePattern.h"

#include <QRegularExpression>
#include <iterator>

namespace {
const char *const kListSql = "SELECT given.given_id, book.title, given.given_to, given.given_date FROM given, book "
                             "where given.given_id = book.id";

// The due date is the fifth, beside the list's own four.
const char *const kDueColumn = "due_date";
const char *const kOrderColumns[] = {"given_id", "title", "given_to", "given_date", kDueColumn};

// The engine's own readings of a date literal: d.m.y with dots, m/d/y with slashes, y-m-d with dashes.
struct DateShape {
    QChar separator;
    QString order; // e.g. "dMy"
};

// The numeric fields of a short date format and what stands between them; false when the format
// holds anything else (month names, week days, marks, more than one kind of separator).
bool parseShape(const QString &format, DateShape *shape)
{
    static const QRegularExpression pattern(QStringLiteral("^(d{1,2}|M{1,2}|y{2}|y{4})([./-])"
                                                           "(d{1,2}|M{1,2}|y{2}|y{4})\\2"
                                                           "(d{1,2}|M{1,2}|y{2}|y{4})$"));
    const QRegularExpressionMatch m = pattern.match(format.trimmed());
    if (!m.hasMatch())
        return false;
    shape->separator = m.captured(2).at(0);
    shape->order = QString(m.captured(1).at(0)) + m.captured(3).at(0) + m.captured(4).at(0);
    return shape->order.contains(QLatin1Char('d')) && shape->order.contains(QLatin1Char('M')) &&
           shape->order.contains(QLatin1Char('y'));
}

bool engineReadsAlike(const DateShape &shape)
{
    return (shape.separator == QLatin1Char('.') && shape.order == QLatin1String("dMy")) ||
           (shape.separator == QLatin1Char('/') && shape.order == QLatin1String("Mdy")) ||
           (shape.separator == QLatin1Char('-') && shape.order == QLatin1String("yMd"));
}

bool isWholeNumber(const QString &text)
{
    bool ok = false;
    text.trimmed().toLongLong(&ok);
    return ok;
}
} // namespace

namespace LoanSql {

QString listStatement()
{
    return QString::fromLatin1(kListSql);
}

QString searchPrefix()
{
    return listStatement() + QStringLiteral(" and ");
}

QString quoted(const QString &text)
{
    QString inner = text;
    inner.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

QString dateLiteral(const QDate &date, const QLocale &locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat).trimmed();
    DateShape shape;
    if (parseShape(format, &shape) && engineReadsAlike(shape)) {
        // A two-digit year is read by the engine within a window around today; write it out.
        if (!format.contains(QLatin1String("yyyy")))
            format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
        // Latin digits whatever the locale's own.
        return QLocale::c().toString(date, format);
    }
    const bool yearFirst = format.indexOf(QLatin1Char('y')) >= 0 &&
                           format.indexOf(QLatin1Char('y')) < format.indexOf(QLatin1Char('M')) &&
                           format.indexOf(QLatin1Char('y')) < format.indexOf(QLatin1Char('d'));
    return QLocale::c().toString(date, yearFirst ? QStringLiteral("yyyy-MM-dd") : QStringLiteral("dd.MM.yyyy"));
}

QString lendStatement(const QString &id, const QString &borrower, const QDate &date, const QLocale &locale)
{
    return QStringLiteral("INSERT INTO GIVEN (given_id, given_to, given_date) VALUES (") + id + QStringLiteral(", ") +
           quoted(borrower.left(kMaxBorrowerLength)) + QStringLiteral(", ") +
           QLatin1Char('\'') + dateLiteral(date, locale) + QStringLiteral("');");
}

QString returnStatement(const QString &id)
{
    return QStringLiteral("DELETE FROM given WHERE given_id = ") + id + QLatin1Char(';');
}

QString changeStatement(const QString &id, const QString &borrower)
{
    return QStringLiteral("UPDATE given SET given_to = ") + quoted(borrower.left(kMaxBorrowerLength)) +
           QStringLiteral(" WHERE given_id = ") + id + QLatin1Char(';');
}

SearchResult searchStatement(int item, const QString &text)
{
    SearchResult result;
    QString condition;
    switch (item) {
    case int(SearchField::Title):
        condition = likeContains(QStringLiteral("title"), text);
        break;
    case int(SearchField::GivenTo):
        condition = likeContains(QStringLiteral("given_to"), text);
        break;
    case int(SearchField::Date):
        condition = QStringLiteral("given_date = ") + quoted(text);
        break;
    case int(SearchField::Id):
        if (!isWholeNumber(text)) {
            result.status = SearchResult::Status::BadId;
            return result;
        }
        condition = QStringLiteral("given_id = ") + text.trimmed();
        break;
    default:
        result.status = SearchResult::Status::NoField;
        return result;
    }
    result.statement = searchPrefix() + condition;
    return result;
}

QString orderColumn(int item)
{
    if (item < 0 || item >= int(std::size(kOrderColumns)))
        return QString();
    return QString::fromLatin1(kOrderColumns[item]);
}

int orderItemOfColumn(const QString &column)
{
    for (int item = 0; item < int(std::size(kOrderColumns)); ++item)
        if (column.compare(QLatin1String(kOrderColumns[item]), Qt::CaseInsensitive) == 0)
            return item;
    return -1;
}

QString orderStatement(const QString &base, int item, bool ascending)
{
    const QString column = orderColumn(item);
    if (column.isEmpty() || base.isEmpty())
        return QString();
    QString direction = ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC");
    // Loans with no due date come last either way: soonest due (the overdue ones) on top.
    if (ascending && column == QLatin1String(kDueColumn))
        direction += QStringLiteral(" NULLS LAST");
    return base + QStringLiteral(" ORDER BY ") + column + direction + QLatin1Char(';');
}

} // namespace LoanSql
