#pragma once

#include <functional>

class ClickableLabel;
class DBGridEh;
class FbDatabase;
class MainWindowApi;
class QBoxLayout;
class QMenu;
class QWidget;

// What the main window carries for due dates, borrowers and history: the borrowers' book in the
// Library menu, the due-date column and legend of the loan list, and the overdue notice.
namespace LoanActions {
struct Places {
    QMenu *libraryMenu;
    DBGridEh *loanGrid;
    QBoxLayout *legendPlace;  // the loans page, where the legend goes under the list
    QBoxLayout *noticePlace;  // where the overdue notice stands on the main window
    std::function<void()> openLoansByDueDate;
};
void install(QWidget *mainWindow, MainWindowApi *api, const Places &places);
// On every connection: the library is brought up to date, and overdue loans are told on the
// console and by the notice.
void libraryConnected(FbDatabase &db);
ClickableLabel *overdueNotice();
} // namespace LoanActions
