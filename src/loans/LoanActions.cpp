#include "LoanActions.h"

#include "AppState.h"
#include "BorrowersWindow.h"
#include "ClickableLabel.h"
#include "DbWorker.h"
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
    if (!g_notice)
        return;
    // Counted beside the window: the window shows without waiting for it (on a library on a
    // server the count is several round trips), the notice a moment later.
    static QPointer<DbWorker> latest;
    auto *worker = new DbWorker(&db, g_notice);
    worker->setObjectName(QStringLiteral("OverdueWorker"));
    latest = worker;
    QObject::connect(worker, &DbWorker::finished, worker, [worker](const QVariant &result) {
        worker->deleteLater();
        if (worker != latest) // counted on an earlier connection
            return;
        const int overdue = result.toInt();
        if (overdue > 0)
            LogEvent(LoanDueDates::overdueText(overdue));
        LoanDueDates::showOverdue(g_notice, overdue);
    });
    QObject::connect(worker, &DbWorker::failed, worker, &QObject::deleteLater);
    worker->start([](DbWorker::Control &control) { return QVariant(LoanDueDates::overdueCount(control.database())); });
}

ClickableLabel *overdueNotice()
{
    return g_notice;
}

} // namespace LoanActions
