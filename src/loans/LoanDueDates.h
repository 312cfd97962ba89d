#pragma once

#include <QColor>
#include <QDate>
#include <QHash>
#include <QObject>

class ClickableLabel;
class DBGridEh;
class FbDatabase;
class GivenSnapshot;
class MainWindowApi;
class QBoxLayout;
class QLabel;

// Due dates of loans, kept beside the loan list: the list's own statement stays as it is, and
// the dates are read beside the window when the list opens after GIVEN changed.
namespace LoanDueDates {
const QColor kOverdueColor(255, 170, 170);
const QColor kDueSoonColor(255, 214, 140);

// Brings the connected library up to date for due dates, borrowers and history; logged.
// A library that cannot be changed (read-only, in use) keeps working without them.
void upgradeLibrary(FbDatabase &db);
// Number of overdue loans; -1 when the library has no due dates.
int overdueCount(FbDatabase &db);
// The console line and the main window's notice for a count of overdue loans (hidden for 0).
QString overdueText(int count);
void showOverdue(ClickableLabel *notice, int count);
} // namespace LoanDueDates

// The loan grid's due-date column, its row colours and the legend on the loans page.
class DueDateColumn : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *kField = "DUE_DATE";
    DueDateColumn(DBGridEh *grid, MainWindowApi *api, QBoxLayout *legendPlace);

    QDate dueOf(int bookId) const { return m_due.value(bookId); }
    int overdueInList() const;
    // Reads the due dates again where GIVEN changed since (reloaded() follows once they are
    // there); called whenever the list opens.
    void reload();

signals:
    void reloaded();

private:
    QVariant cell(int row, int column, int role) const;
    void updateLegend();
    void dueDatesArrived(const QVariant &due);

    DBGridEh *m_grid;
    GivenSnapshot *m_dueDates;
    QLabel *m_legend;     // overdue, with their number
    QLabel *m_soonLegend; // due soon
    QHash<int, QDate> m_due;
};
