#include "LoanActions.h"

#include "AppState.h"
#include "BorrowersWindow.h"
#include "ClickableLabel.h"
#include "EventConsole.h"
#include "LangStr.h"
#include "LoanDueDates.h"

#include <QAction>
#include <QBoxLayout>
#include <QMenu>
#include <QPointer>

namespace {
QPointer<ClickableLabel> g_notice;
QPointer<BorrowersWindow> g_borrowers;
} // namespace

namespace LoanActions {

void install(QWidget *mainWindow, MainWindowApi *api, const Places &places)
{
    auto *action = new QAction(LangStr(QStringLiteral("mborrowers")), places.libraryMenu);
    action->setObjectName(QStringLiteral("Borrowers1"));
    places.libraryMenu->addAction(action);
    QObject::connect(action, &QAction::triggered, mainWindow, [mainWindow] {
        if (!g_borrowers)
            g_borrowers = new BorrowersWindow(mainWindow);
        g_borrowers->show();
        g_borrowers->raise();
    });
    auto *dueColumn = new DueDateColumn(places.loanGrid, api, places.legendPlace);
    // Once shown, the notice follows the loans: a book taken back or extended is no longer counted.
    QObject::connect(dueColumn, &DueDateColumn::reloaded, mainWindow, [dueColumn] {
        if (g_notice && !g_notice->isHidden())
            LoanDueDates::showOverdue(g_notice, dueColumn->overdueInList());
    });

    g_notice = new ClickableLabel(mainWindow);
    g_notice->setObjectName(QStringLiteral("OverdueNotice"));
    g_notice->setTextColor(Qt::darkRed);
    g_notice->setWordWrap(true);
    g_notice->setCursor(Qt::PointingHandCursor);
    g_notice->hide();
    places.noticePlace->insertWidget(0, g_notice);
    QObject::connect(g_notice, &ClickableLabel::clicked, mainWindow, places.openLoansByDueDate);
}

void libraryConnected(FbDatabase &db)
{
    LoanDueDates::upgradeLibrary(db);
    const int overdue = LoanDueDates::overdueCount(db);
    if (overdue > 0)
        LogEvent(LoanDueDates::overdueText(overdue));
    if (g_notice)
        LoanDueDates::showOverdue(g_notice, overdue);
}

ClickableLabel *overdueNotice()
{
    return g_notice;
}

} // namespace LoanActions
