#include "IsbnActions.h"

#include "AppState.h"
#include "BatchEntryWindow.h"
#include "ClickableLabel.h"
#include "IsbnSourcesWindow.h"
#include "LangStr.h"

#include <QAction>
#include <QGridLayout>
#include <QMenu>
#include <QPointer>

namespace {

QPointer<QAction> g_batchAction;
QPointer<BatchEntryWindow> g_batchWindow;
QPointer<ClickableLabel> g_sourcesLink;
QPointer<IsbnSourcesWindow> g_sourcesWindow;

} // namespace

void IsbnActions::install(QMenu *books, QWidget *parent)
{
    if (!books || g_batchAction)
        return;
    books->addSeparator();
    g_batchAction = new QAction(books);
    g_batchAction->setObjectName(QStringLiteral("BatchEntry1"));
    QObject::connect(g_batchAction, &QAction::triggered, books, [parent] {
        BatchEntryWindow *window = batchWindow(parent);
        window->show();
        window->raise();
        window->activateWindow();
    });
    books->addAction(g_batchAction);
    applyLanguage();
}

void IsbnActions::applyLanguage()
{
    if (g_batchAction)
        g_batchAction->setText(LangStr(QStringLiteral("lbatchmenu")));
    if (g_batchWindow)
        g_batchWindow->applyLanguage();
    if (g_sourcesLink)
        g_sourcesLink->setText(LangStr(QStringLiteral("lsrclink")));
    if (g_sourcesWindow)
        g_sourcesWindow->applyLanguage();
}

void IsbnActions::installSourcesLink(QWidget *settingsWindow)
{
    auto *groups = settingsWindow ? settingsWindow->findChild<QGridLayout *>(QStringLiteral("GroupsLayout")) : nullptr;
    if (!groups || g_sourcesLink)
        return;
    g_sourcesLink = new ClickableLabel(groups->parentWidget());
    g_sourcesLink->setObjectName(QStringLiteral("IsbnSourcesLnk"));
    g_sourcesLink->setTextColor(Qt::blue);
    g_sourcesLink->setCursor(Qt::PointingHandCursor);
    groups->addWidget(g_sourcesLink, groups->rowCount(), 0, 1, groups->columnCount());
    QObject::connect(g_sourcesLink, &ClickableLabel::clicked, settingsWindow, [settingsWindow] {
        if (!g_sourcesWindow)
            g_sourcesWindow = new IsbnSourcesWindow(settingsWindow);
        g_sourcesWindow->show();
        g_sourcesWindow->raise();
    });
    applyLanguage();
}

BatchEntryWindow *IsbnActions::batchWindow(QWidget *parent)
{
    if (!g_batchWindow) {
        g_batchWindow = new BatchEntryWindow(parent);
        QObject::connect(g_batchWindow, &BatchEntryWindow::booksStored, g_batchWindow, [] {
            if (mainApi())
                mainApi()->RefreshBooks();
        });
    }
    return g_batchWindow;
}
