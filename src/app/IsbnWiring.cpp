#include "IsbnWiring.h"

#include "AddBookWindow.h"
#include "AddWindowIsbn.h"
#include "ChangeBookWindow.h"
#include "ChangeWindowIsbn.h"
#include "IsbnActions.h"
#include "MainWindow.h"
#include "Settings.h"
#include "ViewBookWindow.h"
#include "ViewWindowIsbn.h"

#include <QMenu>
#include <QPointer>

namespace {

QPointer<AddWindowIsbn> g_add;
QPointer<ChangeWindowIsbn> g_change;
QPointer<ViewWindowIsbn> g_view;

} // namespace

void connectIsbnRows()
{
    if (add && !g_add) {
        g_add = new AddWindowIsbn(add);
        AddWindowIsbn *row = g_add;
        add->setAddGuard([row] { return row->mayAdd(); });
        QObject::connect(add, &Tadd::bookAdded, row, &AddWindowIsbn::bookAdded);
    }
    if (cng && !g_change) {
        g_change = new ChangeWindowIsbn(cng);
        ChangeWindowIsbn *row = g_change;
        cng->setSaveGuard([row] { return row->maySave(); });
        QObject::connect(cng, &Tcng::bookLoaded, row, &ChangeWindowIsbn::bookLoaded);
        QObject::connect(cng, &Tcng::bookSaved, row, &ChangeWindowIsbn::bookSaved);
    }
    if (ViewF && !g_view)
        g_view = new ViewWindowIsbn(ViewF);
    if (MainF)
        IsbnActions::install(MainF->findChild<QMenu *>(QStringLiteral("N7")), MainF);
    IsbnActions::installSourcesLink(Settings);
    if (g_change && g_view)
        QObject::connect(g_change, &ChangeWindowIsbn::isbnWritten, g_view, &ViewWindowIsbn::refresh);
}

void applyIsbnLanguage()
{
    if (g_add)
        g_add->applyLanguage();
    if (g_change)
        g_change->applyLanguage();
    if (g_view)
        g_view->applyLanguage();
    IsbnActions::applyLanguage();
}
