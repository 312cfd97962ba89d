#pragma once

#include <QDate>
#include <QHash>
#include <QObject>
#include <QVariant>

#include <optional>

class DBGridEh;
class GivenSnapshot;
class FbDatabase;

// Marks the lent books in the book list: a coloured title cell with the borrower and the day as
// its tooltip. The book list's statement stays as it is; the lent ids are read from GIVEN
// apart, beside the window (a million books have a hundred thousand loans), again after every
// change the program commits and at a re-run of the list when GIVEN's change counter moved
// (every re-run where the library has no counter).
class LentMark : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *kHideKey = "Hidelentmark"; // "1": no mark
    struct Loan {
        QString to;
        QDate date;
    };
    using Loans = QHash<qint64, Loan>;

    LentMark(DBGridEh *grid, FbDatabase *db, QObject *parent = nullptr);

    bool shown() const;
    void setShown(bool on);
    // The loan of a book, if it is lent.
    std::optional<Loan> loanOf(qint64 id) const;
    // Reads the lent ids now (also done on its own after changes).
    void refresh();
    // What the title cell of a row shows beside its text.
    QVariant cellRole(int row, int column, int role) const;

private:
    void refreshSoon();
    void loansArrived(const QVariant &loans);

    DBGridEh *m_grid;
    FbDatabase *m_db;
    GivenSnapshot *m_loans;
    Loans m_lent;
    bool m_pending = false;
    bool m_shown = true;
};
