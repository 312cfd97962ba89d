#include "Language.h"

#include "IsbnWiring.h"

#include "DBGridEh.h"
#include "GridFindDialog.h"
#include "GridSearchProgress.h"
#include "LangStr.h"
#include "LogView.h"
#include "QtTexts.h"
#include "SettingsList.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>

namespace LanguageMap
{

namespace
{

void addWindow(QList<Entry> &all, const QString &window, const QList<Entry> &rows)
{
    for (Entry entry : rows) {
        entry.window = window;
        all.append(entry);
    }
}

QList<Entry> buildTable()
{
    using enum Target;
    QList<Entry> t;

    // clang-format off
    addWindow(t, QStringLiteral("MainF"), {
        {"LeftCaption1", Caption, {"  {lbkoprs}"}},
        {"LeftAddLnk", Caption, {"{laddb}"}},
        {"LeftCngLnk", Caption, {"{leditb}"}},
        {"LeftDelLnk", Caption, {"{ldelb}"}},
        {"LeftViewLnk", Caption, {"{lmview}"}},
        {"LeftGiveLnk", Caption, {"{lgvbto}"}},
        {"LeftBackLnk", Caption, {"{lcmbackb}"}},
        {"LeftCaption2", Caption, {"  {ltabs}"}},
        {"LeftBooksLnk", Caption, {"{lview}"}},
        {"LeftGivenBooksLnk", Caption, {"{ldbnbks}"}},
        {"LeftInfoLnk", Caption, {"{linform}"}},
        {"LeftSqlLnk", Caption, {"{lslqreqs}"}},
        {"LeftQSrchLb", Caption, {"{lqsrch:}"}},
        {"LeftCaption3", Caption, {"  {lcontrol}"}},
        {"LeftRefreshLb", Caption, {"{lrefrtbl}"}},
        {"LeftRefreshAllLb", Caption, {"{wall}"}},
        {"LeftNaviLb", Caption, {"{lnavi}"}},
        {"LeftConnLb", Caption, {"{lleftconn}"}},
        {"LeftPrintLb", Caption, {"{lprint:}"}},
        {"File1", MenuCaption, {"{lfile}"}},
        {"N5", MenuCaption, {"{lsettings}"}},
        {"N4", MenuCaption, {"{ltosavlog}"}},
        {"Close1", MenuCaption, {"{lexit}"}},
        {"N7", MenuCaption, {"{lview}"}},
        {"N8", MenuCaption, {"{laddb}"}},
        {"N9", MenuCaption, {"{leditb}"}},
        {"N10", MenuCaption, {"{ldelb}"}},
        {"N11", MenuCaption, {"{ldoc}"}},
        {"N12", MenuCaption, {"{lupdates}"}},
        {"N13", MenuCaption, {"{lsite}"}},
        {"N18", MenuCaption, {"{lsmview}"}},
        {"N21", MenuCaption, {"{lsite2}"}},
        {"N2", MenuCaption, {"{linfo}"}},
        {"N3", MenuCaption, {"{labout}"}},
        {"Base1", MenuCaption, {"{ldatabase}"}},
        {"Register1", MenuCaption, {"{lregister}"}},
        {"Settings1", MenuCaption, {"{lconnection}"}},
        {"Backup1", MenuCaption, {"{lbackup}"}},
        {"Restore1", MenuCaption, {"{lrestore}"}},
        {"NewLibrary1", MenuCaption, {"{lnewlibmenu}"}},
        {"ConvertUnicode1", MenuCaption, {"{lconvuni}"}},
        {"Givebookto1", MenuCaption, {"{lsgvbto}"}},
        {"Constants1", MenuCaption, {"{wcnstnts}"}},
        {"Books1", MenuCaption, {"{lview}"}},
        {"Givenbooks1", MenuCaption, {"{ldbnbks}"}},
        {"Info1", MenuCaption, {"{linform}"}},
        {"Sql1", MenuCaption, {"{lslqreqs}"}},
        {"Library1", MenuCaption, {"{llib}"}},
        {"Backbook1", MenuCaption, {"{lcmbackb}"}},
        {"Fields1", MenuCaption, {"{ffcap}"}},
        {"ExportBooks1", MenuCaption, {"{lexpbooks}"}},
        {"ExportAllBooks1", MenuCaption, {"{lexpall}"}},
        {"ExportGiven1", MenuCaption, {"{lexpgiven}"}},
        {"ImportBooks1", MenuCaption, {"{limpbooks}"}},
        {"ExportHistory1", MenuCaption, {"{lexphist}"}},
        {"Borrowers1", MenuCaption, {"{mborrowers}"}},
        {"Multidelete1", MenuCaption, {"{lmltdel}"}},
        {"Print1", MenuCaption, {"{lprint}"}},
        {"Base", Caption, {"{linform}"}},
        {"Reslt", Caption, {"{lview}"}},
        {"GivenSheet", Caption, {"{ldbnbks}"}},
        {"SQL", Caption, {"{lslqreqs}"}},
        {"addBtn", Caption, {"{ladd}"}},
        {"cngBtn", Caption, {"{ledit}"}},
        {"delBtn", Caption, {"{ldel}"}},
        {"ViewBook", Caption, {"{lviewbtn}"}},
        {"Label1", Caption, {"{linform}"}},
        {"Label5", Caption, {"{lcountb}"}},
        {"Label8", Caption, {"{lcountgb}"}},
        {"Label6", Caption, {"{ldbfile}"}},
        {"N1", MenuCaption, {"{lsave}"}},
        {"N6", MenuCaption, {"{lload}"}},
        {"GivenCng", Caption, {"{ledit}"}},
        {"SelList3", Text, {"{larrgby}"}},
        {"SelList2", Text, {"{lsrchby}"}},
        {"edSel2", Text, {"{lsrchw}"}},
        {"SelList4", Text, {"{larrgby}"}},
        {"EdSel3", Text, {"{lsrchw}"}},
        {"SelList5", Text, {"{lsrchby}"}},
        {"GroupBox8", Caption, {"{lexec}"}},
        {"GroupBox5", Caption, {"{lconstruct}"}},
        {"GroupBox6", Caption, {"{lfields}"}},
        {"GroupBox4", Caption, {"{lexectype}"}},
        {"Button18", Caption, {"{lclearbtn}"}},
        {"rbRead", Caption, {"{lread}"}},
        {"rbWrite", Caption, {"{lwrite}"}},
        {"SQLSave", Caption, {"{lsave}"}},
        {"SQLLoad", Caption, {"{lload}"}},
        // Entry 0 of the arrange list keeps its fixed "Id".
        {"SelList3", ListEntries, {"{ftitle}", "{fauthor}", "{fpub}", "{fser}", "{fgenre}", "{fyear}", "{fdesc}",
                                   "{fplace}", "{fclas}"}, 1},
        {"SelList2", ListEntries, {"{ftitle}", "{fauthor}", "{fpub}", "{fser}", "{fgenre}", "{fyear}", "{fdesc}",
                                   "{fplace}", "{fclas}", "Id"}},
        {"SelList4", ListEntries, {"Id", "{ftitle}", "{fgvnt}", "{fgvnd}", "{fgvndue}"}},
        {"SelList5", ListEntries, {"{ftitle}", "{fgvnt}", "{fgvnd}", "Id"}},
        // The field Id keeps its title in every language.
        {"TITLE", GridColumnTitle, {"{ltitle}"}},
        {"AUTHOR", GridColumnTitle, {"{lauthor}"}},
        {"IYEAR", GridColumnTitle, {"{lyear}"}},
        {"SERIA", GridColumnTitle, {"{lser}"}},
        {"PUBLISHER", GridColumnTitle, {"{lpub}"}},
        {"PLACE", GridColumnTitle, {"{lplace}"}},
        {"GENRE", GridColumnTitle, {"{lgenre}"}},
        {"DESCRIPTION", GridColumnTitle, {"{ldesc}"}},
        {"CLAS", GridColumnTitle, {"{lclas}"}},
        {"addBtn", Hint, {"{laddb}"}},
        {"cngBtn", Hint, {"{leditb}"}},
        {"delBtn", Hint, {"{ldelb}"}},
        {"ViewBook", Hint, {"{hviewb}"}},
        {"SelList2", Hint, {"{hsrhby}"}},
        {"SelList5", Hint, {"{hsrhby}"}},
        {"SelList3", Hint, {"{harrby}"}},
        {"SelList4", Hint, {"{harrby}"}},
        {"edSel2", Hint, {"{hsrch}"}},
        {"EdSel3", Hint, {"{hsrch}"}},
        {"IgnoreCaseChk", Caption, {"{lfsignore}"}},
        {"IgnoreCaseChk", Hint, {"{hfsignore}"}},
        {"FilterAsYouType1", MenuCaption, {"{mfsfilter}"}},
        {"MarkLent1", MenuCaption, {"{mfslent}"}},
        {"ArrangeDownImg", Hint, {"{harru}"}},
        {"ArrangeUpImg", Hint, {"{harrd}"}},
        {"GivenArrDown", Hint, {"{harru}"}},
        {"GivenArrUp", Hint, {"{harrd}"}},
        {"RefreshImg", Hint, {"{hrefr}"}},
        {"GivenRefresh", Hint, {"{hrefr}"}},
        {"GivenCng", Hint, {"{leditb}"}},
        {"SearchImg", Hint, {"{lsearch}"}},
    });

    addWindow(t, QStringLiteral("add"), {
        {"Label14", Caption, {"{lnewbook}"}},
        {"", WindowTitle, {"{lnewbook}"}},
        {"Label15", Caption, {"{lcladd}"}},
        {"Label1", Caption, {"{ltitle}"}},
        {"Label2", Caption, {"{lauthor}"}},
        {"Label3", Caption, {"{lyear}"}},
        {"Label4", Caption, {"{lser}"}},
        {"Label5", Caption, {"{lpub}"}},
        {"Label6", Caption, {"{lplace}"}},
        {"Label7", Caption, {"{lgenre}"}},
        {"Label8", Caption, {"{ldesc}"}},
        {"Label9", Caption, {"{lclas}"}},
        {"Label11", Caption, {"{lfield}"}},
        {"Label10", Caption, {"{lmainpar}"}},
        {"Label16", Caption, {"{lhint}"}},
        {"Label12", Caption, {" {lhintstr}"}},
        {"Label13", Caption, {"{lhintcnst}"}},
        {"Label18", Caption, {"{lclearbtn}"}},
        {"AddBook", Caption, {"{ladd}"}},
        {"AddCancel", Caption, {"{lcancel}"}},
        {"Label19", Caption, {"{lcustomize}"}},
    });

    addWindow(t, QStringLiteral("cng"), {
        {"Label1", Caption, {"{leditb}"}},
        {"", WindowTitle, {"{leditb}"}},
        {"BitBtn2", Caption, {"{lsave}"}},
        {"Button1", Caption, {"{lsave}"}},
        {"BitBtn1", Caption, {"{lcancel}"}},
        {"Button2", Caption, {"{lcancel}"}},
        {"Titlelb", Caption, {"{ltitle}"}},
        {"Label3", Caption, {"{lauthor}"}},
        {"Label4", Caption, {"{lyear}"}},
        {"Label5", Caption, {"{lser}"}},
        {"Label6", Caption, {"{lpub}"}},
        {"Label7", Caption, {"{lplace}"}},
        {"Label8", Caption, {"{lgenre}"}},
        {"Label9", Caption, {"{ldesc}"}},
        {"Label10", Caption, {"{lclas}"}},
        {"Label11", Caption, {"{lident:}"}},
    });

    addWindow(t, QStringLiteral("Settings"), {
        {"Label2", Caption, {"{lsettings}"}},
        {"", WindowTitle, {"{lsettings}"}},
        {"N2", MenuCaption, {"{lbydef}"}},
        {"SettingsShowtimeChk", Caption, {"{lshwtime}"}},
        {"SettingsShowconsoleChk", Caption, {"{lshcons}"}},
        {"SettingsAutologChk", Caption, {"{lautolog}"}},
        {"label4", Caption, {"{llnglb}"}},
        {"Label5", Caption, {"{lopactlb}"}},
        {"Label1", Caption, {"{lsetsel}"}},
        {"Label3", Caption, {"{lthemecl}"}},
        {"GroupBox1", Caption, {"{lgeneral}"}},
        {"GroupBox2", Caption, {"{lothers}"}},
        {"Button1", Caption, {"{wapply}"}},
        {"Button2", Caption, {"{lcancel}"}},
        {"Label6", Caption, {"{lbydef}"}},
        {"Label8", Caption, {"{lgeneral}"}},
        {"Label7", Caption, {"{lothers}"}},
        {"SettingsHideLeftFrame", Caption, {"{lshidelf}"}},
        {"SettingsTabsOnTop", Caption, {"{lstbtop}"}},
        {"SettingsDisplayBooksTab", Caption, {"{lstbb}"}},
        {"SettingsDisplayGivenBooksTab", Caption, {"{lstbgb}"}},
        {"SettingsDisplayInfoTab", Caption, {"{lstbi}"}},
        {"SettingsDisplaySqlTab", Caption, {"{lstbs}"}},
        {"SettingsDefTabLb", Caption, {"{ldeftab}"}},
    });

    addWindow(t, QStringLiteral("ViewF"), {
        {"Label2", Caption, {"{ltitle}"}},
        {"Label1", Caption, {"{lauthor}"}},
        {"Label4", Caption, {"{lyear}"}},
        {"Label5", Caption, {"{lser}"}},
        {"Label6", Caption, {"{lpub}"}},
        {"Label7", Caption, {"{lplace}"}},
        {"Label8", Caption, {"{lgenre}"}},
        {"Label9", Caption, {"{ldesc}"}},
        {"Label10", Caption, {"{lclas}"}},
        {"Label11", Caption, {"{lident}"}},
    });

    addWindow(t, QStringLiteral("sqlF"), {
        {"Label2", Caption, {"{lusersql}"}},
        {"", WindowTitle, {"{lusersql}"}},
        {"N1", MenuCaption, {"{lload}"}},
        {"N2", MenuCaption, {"{lsave}"}},
        {"N3", MenuCaption, {"{lclearbtn}"}},
        {"Label1", Caption, {"{luseclipb}"}},
    });

    addWindow(t, kLogWindow, {
        {"", WindowTitle, {"{llogfview}"}},
    });

    addWindow(t, QStringLiteral("ConnectionSettings"), {
        {"Button1", Caption, {"{lcancel}"}},
        {"Label5", Caption, {"{lcnsets}"}},
        {"", WindowTitle, {"{lcnsets}"}},
        {"Button2", Caption, {"{wapply}"}},
        {"GroupBox1", Caption, {"{lcnpar}"}},
        {"GroupBox2", Caption, {"{lcngenopt}"}},
        {"Label3", Caption, {"{lcnlogin}"}},
        {"Label1", Caption, {"{lcncon}"}},
        {"Label2", Caption, {"{lcndbpath}"}},
        {"Label4", Caption, {"{lcncurdb}"}},
        {"LstParams", ColumnTitles, {"{lcnparr}", "{lcnval}"}},
    });

    addWindow(t, QStringLiteral("RegisterF"), {
        {"Label9", Caption, {"{ldbreg}"}},
        {"", WindowTitle, {"{ldbreg}"}},
        {"Register", Caption, {"{ldbregbtn}"}},
        {"Label1", Caption, {"{ldbtypelb}"}},
        {"NewlibraryRb", Caption, {"{ldbdeflb}"}},
        {"LibraryV2Rb", Caption, {"{ldbv2lb}"}},
        {"LibraryV15Rb", Caption, {"{ldbv15lb}"}},
        {"Label4", Caption, {"{ldbexdbld}"}},
        {"Label2", Caption, {"{ldblb2}"}},
        {"Label3", Caption, {"{ldblb3}"}},
        {"Label5", Caption, {"{ldblb5}"}},
        {"Label6", Caption, {"{ldblb6}"}},
        {"Label7", Caption, {"{ldblb7}"}},
        {"Label8", Caption, {"{ldblb8}"}},
        {"Label10", Caption, {"{lhint}"}},
        {"Label11", Caption, {"{lreghnt}"}},
        {"Label12", Caption, {"{lreghnt2}"}},
    });

    addWindow(t, QStringLiteral("GivenF"), {
        {"Label4", Caption, {"{lgvnfc}"}},
        {"", WindowTitle, {"{lgvnfc}"}},
        {"Label1", Caption, {"{lgvnfl1}"}},
        {"Label2", Caption, {"{lgvnfl2}"}},
        {"Label3", Caption, {"{lgvnbid}"}},
        {"Label5", Caption, {"{lgvnlb5}"}},
        {"Button1", Caption, {"{lok}"}},
        {"Button2", Caption, {"{lcancel}"}},
    });

    addWindow(t, QStringLiteral("BackF"), {
        {"Label4", Caption, {"{lgvntrnc}"}},
        {"", WindowTitle, {"{lgvntrnc}"}},
        {"Label1", Caption, {"{lgvntrnc}"}},
        {"Label2", Caption, {"{lgvntrnl2}"}},
        {"Label3", Caption, {"{lgvnbid}"}},
        {"Button1", Caption, {"{lok}"}},
        {"Button2", Caption, {"{lcancel}"}},
    });

    addWindow(t, QStringLiteral("GivenCngF"), {
        {"Label4", Caption, {"{lgvncngl1}"}},
        {"", WindowTitle, {"{lgvncngl1}"}},
        {"Label2", Caption, {"{lgvnfl2}"}},
        {"Label3", Caption, {"{lgvnbid}"}},
        {"Label1", Caption, {"{lgvncngl1}"}},
        {"Button1", Caption, {"{lok}"}},
        {"Button2", Caption, {"{lcancel}"}},
    });

    addWindow(t, QStringLiteral("AddConstF"), {
        {"Button1", Caption, {"{wyes}"}},
        {"Button2", Caption, {"{wno}"}},
        {"Label2", Caption, {"{laddncnst} ?"}},
        {"", WindowTitle, {"{laddncnst} ?"}},
        {"Label1", Caption, {"{laddncnst} {laddncnstl1}"}},
    });

    addWindow(t, QStringLiteral("ConstantsF"), {
        {"Label5", Caption, {"{wcnstnts}"}},
        {"", WindowTitle, {"{wcnstnts}"}},
        {"GroupBox1", Caption, {"{laddngcnst}"}},
        {"GroupBox2", Caption, {"{ledcnst}"}},
        {"Label2", Caption, {"{lselfld}"}},
        {"Label1", Caption, {"{lselfld}"}},
        {"Label3", Caption, {"{lcnstval}"}},
        {"Button3", Caption, {"{llkupinlib}"}},
        {"DelConstLb", Caption, {"{ldel} {lcnstu}"}},
        {"Label4", Caption, {"{lcnstlst}"}},
        {"FieldsList", ListEntries, {"{lauthor}", "{lyear}", "{lser}", "{lpub}", "{lplace}", "{lgenre}", "{lclas}"}},
        {"FieldsList2", ListEntries, {"{lauthor}", "{lyear}", "{lser}", "{lpub}", "{lplace}", "{lgenre}", "{lclas}"}},
    });

    addWindow(t, QStringLiteral("LookupF"), {
        {"", WindowTitle, {"{llkupval}"}},
        {"Label1", Caption, {"{llkupval}"}},
    });

    addWindow(t, QStringLiteral("FieldsF"), {
        {"", WindowTitle, {"{ffcap}"}},
        {"Label2", Caption, {"{ffcap}"}},
        {"GroupBox1", Caption, {"{ffctrl}"}},
        {"FieldsAllowEmptyChk", Caption, {"{ffal}"}},
    });

    addWindow(t, QStringLiteral("MultiDelF"), {
        {"", WindowTitle, {"{lmltdel}"}},
        {"Label3", Caption, {"{lmltdel}"}},
        {"Label4", Caption, {"{ldelselb}"}},
        {"Label5", Caption, {"{ldelselbid}"}},
        {"Button2", Caption, {"{ldel}"}},
        {"Button1", Caption, {"{lcancel}"}},
        {"MarkToDelLb", Caption, {"{lmladd}"}},
        {"UnmarkToDelLb", Caption, {"{lmldel}"}},
        {"ClearDelList", Caption, {"{lmlclr}"}},
        {"Label2", Caption, {"{lmlcnt}"}},
    });

    addWindow(t, kDeleteWindow, {
        {"MultiDelLb", Caption, {"{lmltdel}"}},
        {"Label3", Caption, {"{ldelb}"}},
        {"", WindowTitle, {"{ldelb}"}},
        {"Clear", Caption, {"{lclearbtn}"}},
        {"Button2", Caption, {"{ldel}"}},
        {"Button1", Caption, {"{lcancel}"}},
        {"Label2", Caption, {"{lident:}"}},
        {"Label1", Caption, {"{lenterid}"}},
        {"Label4", Caption, {"{ldelselb}"}},
        {"Label5", Caption, {"{ldelselbid}"}},
        {"CloseAfterDel", Caption, {"{lcldel}"}},
    });

    addWindow(t, kAboutWindow, {
        {"Label16", Caption, {"{labout}"}},
        {"", WindowTitle, {"{labout}"}},
        {"Version", Caption, {"{labver}"}},
        {"Label4", Caption, {"{labbld}"}},
        {"Label10", Caption, {"{labforw}"}},
        {"Copyright", Caption, {"{labauth}"}},
        {"Label1", Caption, {"{labl1}"}},
        {"Label2", Caption, {"{labl2}"}},
        {"Label11", Caption, {"{ibuild}"}},
        {"Label12", Caption, {"{iver}"}},
        {"Label13", Caption, {"{lab13}"}},
        {"Label14", Caption, {"{lab14}"}},
        {"Label15", Caption, {"{lab15}"}},
    });
    // clang-format on

    return t;
}

// The window a control belongs to: menus are pop-up windows of their own, but their
// items belong to the window that holds the menu.
QWidget *ownerWindow(QObject *object)
{
    for (QObject *o = object; o; o = o->parent()) {
        auto *widget = qobject_cast<QWidget *>(o);
        if (widget && widget->isWindow() && !qobject_cast<QMenu *>(widget))
            return widget;
    }
    return nullptr;
}

// Other windows may be children of this one (dialogs parented to the main window) and
// reuse designer names such as Label1, so only the window's own controls count.
QObject *findControl(QWidget *window, const QString &name)
{
    const QList<QObject *> found = window->findChildren<QObject *>(name);
    for (QObject *object : found) {
        if (ownerWindow(object) == window)
            return object;
    }
    return nullptr;
}

QTabWidget *tabWidgetOf(QWidget *page)
{
    auto *stack = qobject_cast<QStackedWidget *>(page->parentWidget());
    return stack ? qobject_cast<QTabWidget *>(stack->parentWidget()) : nullptr;
}

void setCaption(QObject *control, const QString &text)
{
    if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(text);
    else if (auto *group = qobject_cast<QGroupBox *>(control))
        group->setTitle(text);
    else if (auto *action = qobject_cast<QAction *>(control))
        action->setText(text);
    else if (auto *page = qobject_cast<QWidget *>(control)) {
        if (QTabWidget *tabs = tabWidgetOf(page))
            tabs->setTabText(tabs->indexOf(page), text);
    }
}

void setMenuCaption(QObject *control, const QString &text)
{
    if (auto *action = qobject_cast<QAction *>(control))
        action->setText(text);
    else if (auto *menu = qobject_cast<QMenu *>(control))
        menu->setTitle(text);
}

void setEditText(QObject *control, const QString &text)
{
    if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        edit->setText(text);
    } else if (auto *combo = qobject_cast<QComboBox *>(control)) {
        if (combo->isEditable())
            combo->setEditText(text);
        else if (combo->currentIndex() >= 0)
            combo->setItemText(combo->currentIndex(), text);
    }
}

void setHint(QObject *control, const QString &text)
{
    if (auto *widget = qobject_cast<QWidget *>(control))
        widget->setToolTip(text);
    else if (auto *action = qobject_cast<QAction *>(control))
        action->setToolTip(text);
}

void setListEntries(QObject *control, int first, const QStringList &texts)
{
    if (auto *combo = qobject_cast<QComboBox *>(control)) {
        // Replacing the current entry would also replace the prompt in the edit field; the
        // edit field is an entry of its own in this table, so it must not depend on the order.
        const QString editText = combo->currentText();
        for (int i = 0; i < texts.size() && first + i < combo->count(); ++i)
            combo->setItemText(first + i, expand(texts.at(i)));
        if (combo->isEditable() && combo->currentText() != editText)
            combo->setEditText(editText);
    } else if (auto *list = qobject_cast<QListWidget *>(control)) {
        for (int i = 0; i < texts.size() && first + i < list->count(); ++i)
            list->item(first + i)->setText(expand(texts.at(i)));
    }
}

void setColumnTitles(QObject *control, int first, const QStringList &texts)
{
    auto *table = qobject_cast<QTableWidget *>(control);
    if (!table)
        return;
    for (int i = 0; i < texts.size() && first + i < table->columnCount(); ++i) {
        const int column = first + i;
        if (QTableWidgetItem *item = table->horizontalHeaderItem(column))
            item->setText(expand(texts.at(i)));
        else
            table->setHorizontalHeaderItem(column, new QTableWidgetItem(expand(texts.at(i))));
    }
}

void setGridColumnTitle(QWidget *window, const QString &field, const QString &text)
{
    auto *grid = qobject_cast<DBGridEh *>(findControl(window, kBookGrid));
    if (!grid)
        return;
    const QueryModel *model = grid->queryModel();
    for (int column = 0; column < model->columnCount(); ++column) {
        if (model->columnField(column).compare(field, Qt::CaseInsensitive) == 0)
            grid->setColumnTitle(column, text);
    }
}

void applyEntry(QWidget *window, const Entry &entry)
{
    if (entry.target == Target::WindowTitle) {
        window->setWindowTitle(expand(entry.texts.value(0)));
        return;
    }
    if (entry.target == Target::GridColumnTitle) {
        setGridColumnTitle(window, entry.control, expand(entry.texts.value(0)));
        return;
    }
    QObject *control = findControl(window, entry.control);
    if (!control)
        return;
    switch (entry.target) {
    case Target::Caption:
        setCaption(control, expand(entry.texts.value(0)));
        break;
    case Target::MenuCaption:
        setMenuCaption(control, expand(entry.texts.value(0)));
        break;
    case Target::Text:
        setEditText(control, expand(entry.texts.value(0)));
        break;
    case Target::Hint:
        setHint(control, expand(entry.texts.value(0)));
        break;
    case Target::ListEntries:
        setListEntries(control, entry.first, entry.texts);
        break;
    case Target::ColumnTitles:
        setColumnTitles(control, entry.first, entry.texts);
        break;
    case Target::WindowTitle:
    case Target::GridColumnTitle:
        break;
    }
}

QList<QWidget *> windowsNamed(const QString &name)
{
    QList<QWidget *> windows;
    const QWidgetList all = QApplication::topLevelWidgets();
    for (QWidget *widget : all) {
        if (widget->objectName() == name)
            windows.append(widget);
    }
    return windows;
}

// Start-up creates the log viewer before the first switch; this covers a switch that comes
// earlier. It is parented to the main window when there is one, and stays hidden.
void ensureLogViewer()
{
    if (LogView)
        return;
    const QList<QWidget *> main = windowsNamed(QStringLiteral("MainF"));
    LogView = new TLogView(main.value(0));
    LogView->hide();
}

template <typename Predicate> void applyWhere(Predicate wanted)
{
    // Look each window up once; the table is grouped by window.
    QString current;
    QList<QWidget *> windows;
    for (const Entry &entry : entries()) {
        if (!wanted(entry.window))
            continue;
        if (entry.window != current) {
            current = entry.window;
            windows = windowsNamed(current);
        }
        for (QWidget *window : std::as_const(windows))
            applyEntry(window, entry);
    }
}

} // namespace

const QList<Entry> &entries()
{
    static const QList<Entry> table = buildTable();
    return table;
}

QString expand(const QString &expression)
{
    QString result;
    qsizetype pos = 0;
    while (pos < expression.size()) {
        const qsizetype open = expression.indexOf(u'{', pos);
        const qsizetype close = open < 0 ? -1 : expression.indexOf(u'}', open + 1);
        if (close < 0) {
            result += expression.mid(pos);
            break;
        }
        result += expression.mid(pos, open - pos);
        result += LangStr(expression.mid(open + 1, close - open - 1));
        pos = close + 1;
    }
    return result;
}

QStringList keysOf(const QString &expression)
{
    QStringList keys;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype open = expression.indexOf(u'{', pos);
        const qsizetype close = open < 0 ? -1 : expression.indexOf(u'}', open + 1);
        if (close < 0)
            break;
        keys.append(expression.mid(open + 1, close - open - 1));
        pos = close + 1;
    }
    return keys;
}

} // namespace LanguageMap

namespace
{

GridFindDialog::Texts findDialogTexts()
{
    const auto text = [](const char *key) { return LangStr(QString::fromLatin1(key)); };
    return {text("lfndcap"),   text("lfndwhat"), text("lfndin"),    text("lfndall"),   text("lfndcase"),
            text("lfndwhole"), text("lfnddir"),  text("lfndup"),    text("lfnddown"),  text("lfndnext"),
            text("lfndclose"), text("lfndtype"), text("lfndnone"),  text("lfndlast"),  text("lfndfirst")};
}

} // namespace

void ApplyLanguage()
{
    LanguageMap::ensureLogViewer();
    LanguageMap::applyWhere([](const QString &window) {
        return window != LanguageMap::kDeleteWindow && window != LanguageMap::kAboutWindow;
    });
    GridSearchProgress::setCancelText(LangStr(QStringLiteral("lcancel")));
    GridFindDialog::setTexts(findDialogTexts());
    applyQtTexts(settingsList().value(QStringLiteral("Language")));
    applyIsbnLanguage();
}

void ApplyDelLanguage()
{
    LanguageMap::applyWhere([](const QString &window) { return window == LanguageMap::kDeleteWindow; });
}

void ApplyAboutLanguage()
{
    LanguageMap::applyWhere([](const QString &window) { return window == LanguageMap::kAboutWindow; });
}
