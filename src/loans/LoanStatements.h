#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QVector>

// Statements on the loan table GIVEN and the loan list; pure text, no widgets.
namespace LoanSql {
constexpr int kMaxBorrowerLength = 35;

// The loan list: every loan joined with its book's title.
QString listStatement();
// The list statement with " and " appended, the start of every search.
QString searchPrefix();

// A text literal: between apostrophes, an apostrophe inside doubled.
QString quoted(const QString &text);

// A date as the database reads it back as the same day: the locale's short date where the
// engine reads that form unambiguously (year written out in full), else dd.MM.yyyy, or
// yyyy-MM-dd for locales that put the year first.
QString dateLiteral(const QDate &date, const QLocale &locale);

QString lendStatement(const QString &id, const QString &borrower, const QDate &date, const QLocale &locale);
QString returnStatement(const QString &id);
QString changeStatement(const QString &id, const QString &borrower);

// Search fields in the order of the search list SelList5.
enum class SearchField { Title = 0, GivenTo = 1, Date = 2, Id = 3 };
struct SearchResult {
    enum class Status { Ok, NoField, BadId };
    Status status = Status::Ok;
    QString statement;
};
// item: the index chosen in the search list (-1 when none).
SearchResult searchStatement(int item, const QString &text);

constexpr int kDueDateOrderItem = 4;
// The ordering column for an index of the arrange list SelList4; empty when none is chosen.
QString orderColumn(int item);
// The arrange-list index that orders by a column of the loan list (any case); -1 for none.
int orderItemOfColumn(const QString &column);
// base + " ORDER BY " + column + " ASC;" (or DESC); empty when base is empty or no column.
QString orderStatement(const QString &base, int item, bool ascending);
} // namespace LoanSql
