#include "MainWindow.h"

#include "BookListOpen.h"

#include "ui_MainWindow.h"

#include "AppWindows.h"
#include "NewLibraryWindow.h"
#include "BookSearchBar.h"
#include "DataSource.h"
#include "DatabaseFileDialog.h"
#include "EventConsole.h"
#include "ExchangeActions.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "DbWorker.h"
#include "LibrarySchema.h"
#include "BookIsbnTable.h"
#include "FileError.h"
#include "ForgivingSearch.h"
#include "HelpWindow.h"
#include "LentMark.h"
#include "LangStr.h"
#include "ListPrint.h"
#include "LoanActions.h"
#include "MenuAccelerators.h"
#include "LoanList.h"
#include "LoanSearchBar.h"
#include "PrintDBGridEh.h"
#include "SettingsList.h"
#include "SqlPage.h"
#include "StyleIcon.h"
#include "UserPrompts.h"
#include "WebLinks.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequenceEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTabBar>
#include <QTime>
#include <QToolTip>

TMainF *MainF = nullptr;

namespace {

const QColor kPageLinkColor(0, 0, 255);
const QColor kRestColor(128, 128, 128);
const QColor kHoverColor(255, 0, 0);

constexpr int kBooksPage = 0;
constexpr int kGivenPage = 1;
constexpr int kInfoPage = 2;
constexpr int kSqlPage = 3;
constexpr int kConsoleHeight = 45;
// How long the closing waits for a count or an index being built to give up.
constexpr int kWorkerCloseWaitMs = 30000;
constexpr int kConsoleStep = 8;
constexpr int kLeftFrameMargin = 4;
constexpr int kFramePictureSize = 18;

const char *const kCreateGivenSql = "create table GIVEN (GIVEN_ID integer not null, GIVEN_TO varchar (35), GIVEN_DATE "
                                    "date, foreign key (GIVEN_ID) references BOOK (ID));";
const char *const kAllBooksSql = "SELECT * from book";

// The book list's fields in the order the grid shows them, with their title keys.
struct BookColumn {
    const char *field;
    const char *titleKey; // nullptr: the fixed title "Id"
    int width;
};
constexpr BookColumn kBookColumns[] = {
    {"TITLE", "ltitle", 65},     {"Id", nullptr, 4},        {"AUTHOR", "lauthor", 35},    {"IYEAR", "lyear", 4},
    {"SERIA", "lser", 35},       {"PUBLISHER", "lpub", 35}, {"PLACE", "lplace", 50},      {"GENRE", "lgenre", 25},
    {"DESCRIPTION", "ldesc", 255}, {"CLAS", "lclas", 45},
};

} // namespace

TMainF::TMainF(QWidget *parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::TMainF>())
{
    MainF = this;
    setMainApi(this);
    ui->setupUi(this);
    m_bookBar = new BookSearchBar(ui->SearchBar);
    m_sqlPage = new SqlPage(ui->SQL);
    ui->SQLLayout->addWidget(m_sqlPage);
    createDatabaseObjects();
    setupMenus();
    setupLinks();
    connectSignals();
    FormCreate();
}

TMainF::~TMainF()
{
    if (MainF == this)
        MainF = nullptr;
    if (mainApi() == this)
        setMainApi(nullptr);
}

void TMainF::createDatabaseObjects()
{
    m_database = new FbDatabase(this);
    m_database->setObjectName(QStringLiteral("IBDatabase1"));
    m_database->setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=quietlamp"),
                           QStringLiteral("lc_ctype=WIN1251")});
    // A Unicode library is read and written in UTF8 even where the profile names WIN1251.
    m_database->setCharsetFollowsLibrary(true);
    m_transaction = new FbTransaction(m_database, this);
    m_transaction->setObjectName(QStringLiteral("IBTransaction1"));

    // The SQL page's reading statements wait for their first row off the window's thread: on an
    // attachment of their own, so that the lists' work on the main one never queues behind them.
    m_sqlDatabase = new FbDatabase(this);
    m_sqlDatabase->follow(m_database);
    new FbTransaction(m_sqlDatabase, m_sqlDatabase);

    const auto makeQuery = [this](const char *name, const char *sql, FbDatabase *database) {
        auto *q = new FbQuery(database, this);
        q->setObjectName(QString::fromLatin1(name));
        if (sql)
            q->setSqlText(QString::fromLatin1(sql));
        return q;
    };
    m_query1 = makeQuery("IBQuery1", kInitialBookSql, m_database);
    m_query2 = makeQuery("IBQuery2", nullptr, m_sqlDatabase);
    m_query3 = makeQuery("IBQuery3", "SELECT count(*) FROM book ", m_database);
    m_query5 = makeQuery("IBQuery5", "select * from GIVEN", m_database);
    m_query6 = makeQuery("IBQuery6", "SELECT * FROM GIVEN;", m_database);
    m_query7 = makeQuery("IBQuery7", "SELECT count(*) FROM given ", m_database);

    const auto makeSource = [this](const char *name, FbQuery *query) {
        auto *s = new DataSource(this);
        s->setObjectName(QString::fromLatin1(name));
        s->setDataSet(query);
        return s;
    };
    m_source1 = makeSource("DataSource1", m_query1);
    m_source2 = makeSource("DataSource2", m_query2);
    m_source3 = makeSource("DataSource3", m_query3);
    m_source4 = makeSource("DataSource4", m_query5);
    m_source7 = makeSource("DataSource7", m_query7);
    // The SQL page's result follows the book list: re-run on every row move once open, while
    // its page is shown.
    m_query2->setMasterSource(m_source1);
    holdHiddenLists(ui->PageControl1->currentIndex());
    // The total follows the book list, but counting a million books on every move would make
    // the list unusable; a reload, a move or a change only marks it, and the tick counts.
    const auto markBookCountStale = [this] { m_bookCountStale = true; };
    connect(m_source1, &DataSource::currentRowChanged, this, markBookCountStale);
    connect(m_source1, &DataSource::opened, this, markBookCountStale);
    connect(m_transaction, &FbTransaction::changesCommitted, this, markBookCountStale);
    connect(m_sqlPage, &SqlPage::changesStored, this, markBookCountStale);
    // Counting a million books takes the engine a quarter of a second, building an older
    // library's indexes minutes: both run beside the window, each on an attachment of its own.
    m_counter = new DbWorker(m_database, this);
    m_counter->setObjectName(QStringLiteral("CounterWorker"));
    connect(m_counter, &DbWorker::finished, this, &TMainF::countsArrived);
    m_indexer = new DbWorker(m_database, this);
    m_indexer->setObjectName(QStringLiteral("IndexWorker"));
    connect(m_indexer, &DbWorker::progress, this, &TMainF::indexProgress);
    connect(m_indexer, &DbWorker::finished, this, [](const QVariant &built) {
        if (built.toInt() > 0)
            LogEvent(LangStr(QStringLiteral("cdbidx2")));
    });
    connect(m_indexer, &DbWorker::failed, this,
            [](const QString &message) { LogEvent(LangStr(QStringLiteral("cdbidx5")) + message); });
    connect(m_database, &FbDatabase::connectedChanged, this, [this](bool connected) {
        // Figures of another connection are not this one's.
        m_bookCounted = m_givenCounted = false;
        m_counter->stop();
        if (connected) {
            addMissingIndexes();
            ForgivingSearch::prepareLibrary(*m_database);
            LoanActions::libraryConnected(*m_database);
        } else {
            ui->dbeBookCount->clear();
            ui->dbeGivenBookCount->clear();
        }
    });

    QVector<GridColumn> columns;
    for (const BookColumn &c : kBookColumns)
        columns.append({QString::fromLatin1(c.field), c.titleKey ? LangStr(QString::fromLatin1(c.titleKey))
                                                                 : QStringLiteral("Id"),
                        c.width});
    ui->DBGridEh1->setColumns(columns);
    ui->DBGridEh1->setDataSource(m_source1);
    ui->DBGridEh2->setColumns(LoanList::loanGridColumns());
    ui->DBGridEh2->setTitleColor(Qt::red);
    ui->DBGridEh2->setFrameShape(QFrame::NoFrame);
    ui->DBGridEh2->setDataSource(m_source4);
    // The loan list follows the book list's current row once open.
    LoanList::followBookList(this);
    auto *givenBarLayout = new QHBoxLayout(ui->GivenBar);
    givenBarLayout->setContentsMargins(0, 0, 0, 0);
    m_loanBar = new LoanSearchBar(ui->GivenBar);
    givenBarLayout->addWidget(m_loanBar);
    // A click on a column title orders the list as "Arrange by" does.
    ui->DBGridEh1->setTitlesClickable(true);
    ui->DBGridEh2->setTitlesClickable(true);
    connect(ui->DBGridEh1, &DBGridEh::titleClicked, m_bookBar, &BookSearchBar::arrangeByColumn);
    connect(ui->DBGridEh2, &DBGridEh::titleClicked, m_loanBar, &LoanSearchBar::arrangeByColumn);
    connect(m_bookBar, &BookSearchBar::nothingFound, this,
            [this] { ui->DBGridEh1->setStatusText(LangStr(QStringLiteral("lnothingfound"))); });
    connect(m_loanBar, &LoanSearchBar::nothingFound, this,
            [this] { ui->DBGridEh2->setStatusText(LangStr(QStringLiteral("lnothingfound"))); });
    m_sqlPage->DBGridEh3()->setDataSource(m_source2);
    ui->DBNavigator1->setDataSource(m_source1);
    ui->dbeBookCount->setDataSource(m_source3);
    ui->dbeBookCount->setDataField(QStringLiteral("COUNT"));
    ui->dbeGivenBookCount->setDataSource(m_source7);
    ui->dbeGivenBookCount->setDataField(QStringLiteral("COUNT"));

    // Lent books marked in the book list, with their menu items and the filter as you type.
    ForgivingSearch::installMenu(ui->Library1, new LentMark(ui->DBGridEh1, m_database, this));

    m_print = new PrintDBGridEh(this);
    m_print->setObjectName(QStringLiteral("PrintDBGridEh1"));
    ListPrint::setUpPrintComponent(m_print);
}

void TMainF::setupMenus()
{
    // Underlined letters on every menu and item, in every language.
    MenuAccelerators::install(ui->MainMenu1);
    // A new empty library (Windows-1251 or Unicode), after the Database menu's own items.
    auto *newLibrary = new QAction(LangStr(QStringLiteral("lnewlibmenu")), ui->Base1);
    newLibrary->setObjectName(QStringLiteral("NewLibrary1"));
    ui->Base1->addSeparator();
    ui->Base1->addAction(newLibrary);
    connect(newLibrary, &QAction::triggered, this, [this] {
        if (!m_newLibraryWindow)
            m_newLibraryWindow = new NewLibraryWindow([](const QString &path) { applyPathInConnectionSettings(path); }, this);
        m_newLibraryWindow->show();
        m_newLibraryWindow->raise();
    });
    // Export, import, backup and restore, at the end of the Library and Database menus.
    ExchangeActions::install(ui->Library1, ui->Base1, this, [](const QString &path) { applyPathInConnectionSettings(path); });
    // The borrowers' book, the loan list's due dates and the overdue notice (it opens the loans by due date).
    LoanActions::install(this, this,
                         {ui->Library1, ui->DBGridEh2, qobject_cast<QBoxLayout *>(ui->DBGridEh2->parentWidget()->layout()),
                          ui->MainLeftFrameLayout, [this] {
                              LeftGivenBooksLnkClick();
                              runGuarded([this] {
                                  RefreshGiven();
                                  m_loanBar->arrangeByDueDate();
                              });
                          }});
    // The console's pop-up menu.
    connect(ui->bar, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QMenu menu(this);
        menu.setObjectName(QStringLiteral("PopupBar"));
        menu.addAction(ui->N1);
        menu.addAction(ui->N6);
        menu.exec(ui->bar->mapToGlobal(pos));
    });
    const auto on = [this](QAction *action, void (TMainF::*handler)()) {
        connect(action, &QAction::triggered, this, [this, handler] { runGuarded([this, handler] { (this->*handler)(); }); });
    };
    on(ui->N5, &TMainF::N5Click);
    on(ui->N4, &TMainF::N4Click);
    on(ui->N1, &TMainF::N1Click);
    on(ui->N6, &TMainF::N6Click);
    connect(ui->Close1, &QAction::triggered, this, &QWidget::close);
    on(ui->Register1, &TMainF::Register1Click);
    on(ui->Books1, &TMainF::LeftBooksLnkClick);
    on(ui->Givenbooks1, &TMainF::LeftGivenBooksLnkClick);
    on(ui->Info1, &TMainF::LeftInfoLnkClick);
    on(ui->Sql1, &TMainF::LeftSqlLnkClick);
    on(ui->N18, &TMainF::ViewBookClick);
    on(ui->Print1, &TMainF::Print1Click);
    connect(ui->Settings1, &QAction::triggered, this, [] { showAppWindow(AppWindow::ConnectionSettings); });
    connect(ui->Constants1, &QAction::triggered, this, [] { showAppWindow(AppWindow::Constants); });
    connect(ui->Fields1, &QAction::triggered, this, [] { showAppWindow(AppWindow::Fields); });
    connect(ui->N8, &QAction::triggered, this, [] { showAppWindow(AppWindow::AddBook); });
    connect(ui->N9, &QAction::triggered, this, [] { showAppWindow(AppWindow::ChangeBook); });
    connect(ui->N10, &QAction::triggered, this, [] { showAppWindow(AppWindow::DeleteBook); });
    connect(ui->Multidelete1, &QAction::triggered, this, [] { showAppWindow(AppWindow::MultiDelete); });
    connect(ui->Givebookto1, &QAction::triggered, this, [] { showAppWindow(AppWindow::Lend); });
    connect(ui->Backbook1, &QAction::triggered, this, [] { showAppWindow(AppWindow::Return); });
    connect(ui->N3, &QAction::triggered, this, [] { showAppWindow(AppWindow::About); });
    const std::pair<QAction *, WebLinks::Page> webLinks[] = {
        {ui->N12, WebLinks::Page::Updates},
        {ui->N13, WebLinks::Page::Site},
        {ui->N21, WebLinks::Page::SiteMirror},
    };
    for (const auto &[action, page] : webLinks)
        connect(action, &QAction::triggered, this, [page] { WebLinks::openWebPage(page); });
    // "Help (online)", F1: the guide inside the program, at the page of the window in use.
    connect(ui->N11, &QAction::triggered, this, [this] {
        const QWidget *inUse = m_keyWindow && m_keyWindow->isVisible() ? m_keyWindow.data() : QApplication::activeWindow();
        m_keyWindow = nullptr;
        if (!HelpF)
            new HelpWindow(this);
        HelpF->showFor(inUse && inUse != HelpF ? inUse->objectName() : objectName());
    });

    ui->N5->setIcon(lazyStandardIcon(QStyle::SP_FileDialogDetailedView));
    ui->N4->setIcon(lazyStandardIcon(QStyle::SP_DialogSaveButton));
    ui->Print1->setIcon(lazyStandardIcon(QStyle::SP_FileIcon));
    ui->Close1->setIcon(lazyStandardIcon(QStyle::SP_DialogCloseButton));
    ui->Register1->setIcon(lazyStandardIcon(QStyle::SP_DriveHDIcon));
    ui->Settings1->setIcon(lazyStandardIcon(QStyle::SP_DriveNetIcon));
    for (QAction *a : {ui->Books1, ui->Givenbooks1, ui->Info1, ui->Sql1})
        a->setIcon(lazyStandardIcon(QStyle::SP_DirIcon));
    ui->Constants1->setIcon(lazyStandardIcon(QStyle::SP_FileDialogListView));
    ui->Fields1->setIcon(lazyStandardIcon(QStyle::SP_FileDialogInfoView));
    ui->N8->setIcon(lazyStandardIcon(QStyle::SP_FileDialogNewFolder));
    ui->N9->setIcon(lazyStandardIcon(QStyle::SP_FileDialogContentsView));
    ui->N10->setIcon(lazyStandardIcon(QStyle::SP_TrashIcon));
    ui->Multidelete1->setIcon(lazyStandardIcon(QStyle::SP_TrashIcon));
    ui->Givebookto1->setIcon(lazyStandardIcon(QStyle::SP_ArrowForward));
    ui->Backbook1->setIcon(lazyStandardIcon(QStyle::SP_ArrowBack));
    ui->N18->setIcon(lazyStandardIcon(QStyle::SP_FileDialogContentsView));
    ui->N3->setIcon(lazyStandardIcon(QStyle::SP_MessageBoxInformation));
    for (QAction *a : {ui->N12, ui->N13, ui->N21})
        a->setIcon(lazyStandardIcon(QStyle::SP_BrowserReload));
    ui->N11->setIcon(lazyStandardIcon(QStyle::SP_DialogHelpButton));
}

void TMainF::setupLinks()
{
    showStandardPixmapWhenShown(ui->LeftAddLnkIcon, QStyle::SP_FileDialogNewFolder, 16);
    showStandardPixmapWhenShown(ui->LeftCngLnkIcon, QStyle::SP_FileDialogContentsView, 16);
    showStandardPixmapWhenShown(ui->LeftDelLnkIcon, QStyle::SP_TrashIcon, 16);
    showStandardPixmapWhenShown(ui->LeftGiveLnkIcon, QStyle::SP_ArrowForward, 16);
    showStandardPixmapWhenShown(ui->LeftBackLnkIcon, QStyle::SP_ArrowBack, 16);
    showStandardPixmapWhenShown(ui->LeftViewLnkIcon, QStyle::SP_FileDialogInfoView, 16);
    for (QLabel *icon : {ui->LeftBooksLnkIcon, ui->LeftGivenBooksLnkIcon, ui->LeftInfoLnkIcon, ui->LeftSqlLnkIcon})
        showStandardPixmapWhenShown(icon, QStyle::SP_DirIcon, 16);
    showStandardPixmapWhenShown(ui->LeftRefreshAllLbIcon, QStyle::SP_FileDialogListView, 16);
    showStandardPixmapWhenShown(ui->GeneralRefreshImg, QStyle::SP_BrowserReload, 16);
    showStandardPixmapWhenShown(ui->Image25, QStyle::SP_FileIcon, 16);
    showStandardPixmapWhenShown(ui->ConnectedImg, QStyle::SP_DialogApplyButton, 16);
    showStandardPixmapWhenShown(ui->DisconnectedImg, QStyle::SP_DialogCancelButton, 16);
    showStandardPixmapWhenShown(ui->LeftHideImg, QStyle::SP_ArrowLeft, 16);
    showStandardPixmapWhenShown(ui->LeftUnhideImg, QStyle::SP_ArrowRight, 16);
    showStandardPixmapWhenShown(ui->BannerImage, QStyle::SP_DriveHDIcon, 48);
    ui->ConnectedImg->setToolTip(QStringLiteral("Disconnect"));
    ui->DisconnectedImg->setToolTip(QStringLiteral("Connect"));
    ui->lbSQL->setTextColor(Qt::blue);
    QFont keysFont = ui->LeftQsrchKeysLb->font();
    keysFont.setPixelSize(10);
    ui->LeftQsrchKeysLb->setFont(keysFont);
    for (QLabel *label : findChildren<QLabel *>())
        label->setTextFormat(Qt::PlainText);
    ui->BannerName->setTextFormat(Qt::RichText);
    ui->lbOpacity->setStyleSheet(QStringLiteral("color: red"));
    ui->TimeLabel->setStyleSheet(QStringLiteral("color: gray"));
    ui->bar->setStyleSheet(QStringLiteral("color: navy"));
    QFont small = ui->bar->font();
    small.setPixelSize(10);
    ui->bar->setFont(small);
    // The values on the information page stand level with their labels in the left strip.
    const int rowHeight = ui->Button19->sizeHint().height();
    for (QWidget *row : std::initializer_list<QWidget *>{ui->Label6, ui->Label5, ui->Label8, ui->Label1, ui->lbPath,
                                                         ui->lbBookCount, ui->lbGivenBookCount})
        row->setFixedHeight(rowHeight);
    ui->Panel1->layout()->setSpacing(6);
    ui->BaseInfoPanel->layout()->setSpacing(6);
    ui->Panel1->layout()->setContentsMargins(6, 6 + rowHeight + 6, 6, 6);
    ui->BannerBeta->setStyleSheet(QStringLiteral("color: red"));
    ui->BannerVersion->setStyleSheet(QStringLiteral("color: gray"));
    ui->BannerPreview->setStyleSheet(QStringLiteral("color: gray"));
    ui->MainLeftFrame->setStyleSheet(
        QStringLiteral("#MainLeftFrame { background: qlineargradient(x1:0, y1:0, x2:1, y2:1, stop:0 #f4f7fb, "
                       "stop:1 #dde6f2); }"));

    const QList<ClickableLabel *> restLinks = {ui->LeftAddLnk,       ui->LeftCngLnk, ui->LeftDelLnk, ui->LeftGiveLnk,
                                               ui->LeftBackLnk,      ui->LeftViewLnk, ui->LeftRefreshAllLb,
                                               ui->Label5,           ui->Label6,     ui->Label8};
    for (ClickableLabel *link : restLinks) {
        link->setTextColor(kRestColor);
        connect(link, &ClickableLabel::mouseEntered, this, [this, link] {
            if (link != ui->LeftViewLnk || !viewWindowShown())
                link->setTextColor(kHoverColor);
        });
        connect(link, &ClickableLabel::mouseLeft, this, [this, link] {
            if (link != ui->LeftViewLnk || !viewWindowShown())
                link->setTextColor(kRestColor);
        });
    }
    for (ClickableLabel *link : {ui->LeftBooksLnk, ui->LeftGivenBooksLnk, ui->LeftInfoLnk, ui->LeftSqlLnk}) {
        connect(link, &ClickableLabel::mouseEntered, this, [link] { link->setTextColor(kHoverColor); });
        connect(link, &ClickableLabel::mouseLeft, this, [this] { markPageLinks(); });
    }
    markPageLinks();
}

void TMainF::connectSignals()
{
    const auto click = [this](ClickableLabel *label, void (TMainF::*handler)()) {
        connect(label, &ClickableLabel::clicked, this, [this, handler] { runGuarded([this, handler] { (this->*handler)(); }); });
    };
    click(ui->LeftBooksLnk, &TMainF::LeftBooksLnkClick);
    click(ui->LeftGivenBooksLnk, &TMainF::LeftGivenBooksLnkClick);
    click(ui->LeftInfoLnk, &TMainF::LeftInfoLnkClick);
    click(ui->LeftSqlLnk, &TMainF::LeftSqlLnkClick);
    click(ui->GeneralRefreshImg, &TMainF::GeneralRefreshImgClick);
    click(ui->LeftRefreshAllLb, &TMainF::LeftRefreshAllLbClick);
    click(ui->ConnectedImg, &TMainF::ConnectedImgClick);
    click(ui->DisconnectedImg, &TMainF::DisconnectedImgClick);
    click(ui->LeftHideImg, &TMainF::LeftHideImgClick);
    click(ui->LeftUnhideImg, &TMainF::LeftUnhideImgClick);
    click(ui->Label5, &TMainF::Label5Click);
    click(ui->Label6, &TMainF::Label6Click);
    click(ui->Label8, &TMainF::Label8Click);
    click(ui->LeftViewLnk, &TMainF::ViewBookClick);
    click(ui->Image25, &TMainF::Image24Click); // the print picture of the left frame
    connect(ui->LeftAddLnk, &ClickableLabel::clicked, this, [] { showAppWindow(AppWindow::AddBook); });
    connect(ui->LeftCngLnk, &ClickableLabel::clicked, this, [] { showAppWindow(AppWindow::ChangeBook); });
    connect(ui->LeftDelLnk, &ClickableLabel::clicked, this, [] { showAppWindow(AppWindow::DeleteBook); });
    connect(ui->LeftGiveLnk, &ClickableLabel::clicked, this, [] { showAppWindow(AppWindow::Lend); });
    connect(ui->LeftBackLnk, &ClickableLabel::clicked, this, [] { showAppWindow(AppWindow::Return); });
    connect(ui->lbSQL, &ClickableLabel::doubleClicked, this, &TMainF::lbSQLDblClick);
    connect(ui->Button19, &QPushButton::clicked, this, [this] { runGuarded([this] { Button19Click(); }); });
    connect(ui->ViewBook, &QPushButton::clicked, this, [this] { ViewBookClick(); });
    connect(ui->PageControl1, &QTabWidget::currentChanged, this, &TMainF::PageControl1Change);
    connect(ui->DBNavigator1, &DBNavigator::beforeAction, this, &TMainF::DBNavigator1BeforeAction);
    for (DBGridEh *grid : {ui->DBGridEh1, ui->DBGridEh2, m_sqlPage->DBGridEh3()})
        connect(grid, &DBGridEh::fetchFailed, this, [](const QString &message) { UserPrompts::showError(message); });
    connect(ui->DBNavigator1, &DBNavigator::actionFailed, this,
            [](const QString &message) { UserPrompts::showError(message); });
    connect(m_print, &PrintDBGridEh::failed, this, [](const QString &message) { UserPrompts::showError(message); });

    const auto every = [this](QTimer &timer, const char *name, int ms, void (TMainF::*tick)()) {
        timer.setObjectName(QString::fromLatin1(name));
        timer.setInterval(ms);
        connect(&timer, &QTimer::timeout, this, tick);
    };
    every(Timer1, "Timer1", 1000, &TMainF::Timer1Timer);
    every(Timer2, "Timer2", 12000, &TMainF::Timer2Timer);
    every(SQLTimer, "SQLTimer", 500, &TMainF::SQLTimerTimer);
    every(Timer3, "Timer3", 10000, &TMainF::Timer3Timer);
    every(Timer4, "Timer4", 1000, &TMainF::Timer4Timer);
    every(BarAnimTimer, "BarAnimTimer", 10, &TMainF::BarAnimTimerTimer);
    for (QTimer *t : {&Timer1, &Timer2, &SQLTimer, &Timer3, &Timer4})
        t->start();
}

void TMainF::FormCreate()
{
    resize(800, 550);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    setWindowTitle(QString::fromLatin1(kDesignTitle));
    m_currentBookSql = QString::fromLatin1(kInitialBookSql);

    QPalette tips = QToolTip::palette();
    tips.setColor(QPalette::ToolTipBase, Qt::white);
    QToolTip::setPalette(tips);

    // The hot-key fields hold the shortcuts; each is copied into its menu item once.
    const std::pair<QKeySequenceEdit *, QAction *> hotKeys[] = {
        {ui->hkAddBook, ui->N8},  {ui->hkEditBook, ui->N9},       {ui->hkDelBook, ui->N10}, {ui->hkOptions, ui->N5},
        {ui->hkGiveBook, ui->Givebookto1}, {ui->hkDoc, ui->N11}, {ui->hkView, ui->N18},
    };
    for (const auto &[field, action] : hotKeys) {
        action->setShortcut(field->keySequence());
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        m_shortcuts.append(field->keySequence());
    }
    // Help answers F1 in every window of the program, not only here.
    ui->N11->setShortcutContext(Qt::ApplicationShortcut);
    qApp->installEventFilter(this);

    ui->MainBottomFrame->setMaximumHeight(QWIDGETSIZE_MAX);
    ui->MainBottomFrame->setFixedHeight(kConsoleHeight);
    for (int page = kBooksPage; page <= kSqlPage; ++page)
        ui->PageControl1->tabBar()->setTabVisible(page, false);
    ui->PageControl1->setCurrentIndex(kBooksPage);
    ui->LeftUnhideImg->hide();
    ui->lbOpacity->hide();
    ui->Label8->hide();
    ui->lbGivenBookCount->hide();
    EventConsole::attach(ui->bar);
    Timer1Timer();
    Timer4Timer();
    SQLTimerTimer();
}

bool TMainF::eventFilter(QObject *watched, QEvent *event)
{
    // The window a shortcut was typed in: F1 opens the guide at its page.
    if (event->type() == QEvent::ShortcutOverride)
        if (auto *widget = qobject_cast<QWidget *>(watched))
            m_keyWindow = widget->window();
    if (event->type() == QEvent::MouseButtonPress)
        m_keyWindow = nullptr; // a click on Info -> Help asks for the window in use, not the last typed in
    // Collapsed, the whole strip of the left frame expands it, not only its small picture. Only a
    // click that began on the collapsed strip does: the release of the click that collapsed the
    // frame travels on to the frame too.
    if (event->type() == QEvent::MouseButtonPress) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && (widget == ui->MainLeftFrame || ui->MainLeftFrame->isAncestorOf(widget)))
            m_pressedOnCollapsedFrame = leftFrameCollapsed();
    }
    if (event->type() == QEvent::MouseButtonRelease && watched != ui->LeftUnhideImg && leftFrameCollapsed() &&
        m_pressedOnCollapsedFrame) {
        auto *widget = qobject_cast<QWidget *>(watched);
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (widget && mouse->button() == Qt::LeftButton &&
            (widget == ui->MainLeftFrame || ui->MainLeftFrame->isAncestorOf(widget))) {
            m_pressedOnCollapsedFrame = false;
            LeftUnhideImgClick();
            return true;
        }
    }
    if (keyboardNavigation(watched, event))
        return true;
    // The seven shortcuts act wherever the focus is in this window: an edit field must not
    // claim Ctrl+A or Ctrl+E for itself.
    if (event->type() == QEvent::ShortcutOverride) {
        auto *widget = qobject_cast<QWidget *>(watched);
        auto *key = static_cast<QKeyEvent *>(event);
        if (widget && widget->window() == this) {
            const QKeySequence pressed(key->keyCombination());
            if (m_shortcuts.contains(pressed))
                return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TMainF::keyboardNavigation(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this || QApplication::activePopupWidget())
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (event->type() == QEvent::KeyRelease) {
        if (key->key() == Qt::Key_Alt && m_altAlone && !key->isAutoRepeat()) {
            m_altAlone = false;
            openMenuBar();
            return true;
        }
        return false;
    }
    if (key->key() == Qt::Key_Alt) {
        m_altAlone = (modifiers & ~Qt::AltModifier) == Qt::NoModifier;
        return false;
    }
    m_altAlone = false;
    if (key->key() == Qt::Key_F10 && modifiers == Qt::NoModifier) {
        openMenuBar();
        return true;
    }
    if (!(modifiers & Qt::ControlModifier) || (modifiers & Qt::AltModifier))
        return false;
    const bool back = modifiers & Qt::ShiftModifier;
    switch (key->key()) {
    case Qt::Key_Tab:
        stepPage(back ? -1 : 1);
        return true;
    case Qt::Key_Backtab:
        stepPage(-1);
        return true;
    case Qt::Key_PageDown:
        stepPage(1);
        return true;
    case Qt::Key_PageUp:
        stepPage(-1);
        return true;
    default:
        return false;
    }
}

void TMainF::openMenuBar()
{
    const QList<QAction *> menus = ui->MainMenu1->actions();
    for (QAction *menu : menus) {
        if (menu->isVisible() && menu->isEnabled()) {
            ui->MainMenu1->setActiveAction(menu);
            return;
        }
    }
}

void TMainF::stepPage(int step)
{
    const int pages = kSqlPage - kBooksPage + 1;
    setActivePage((ui->PageControl1->currentIndex() - kBooksPage + step + pages) % pages + kBooksPage);
    markPageLinks();
}

void TMainF::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_firstShowDone) {
        m_firstShowDone = true;
        runGuarded([this] { FormShow(); });
    }
}

void TMainF::FormShow()
{
    hideSplash();
    LeftBooksLnkClick();
    GeneralRefreshImgClick();
}

void TMainF::showLoansFirstSeen()
{
    // The loans page shows the loans whenever it is first seen, not an empty list until a
    // refresh. They are read then rather than at start, so that starting and moving in the book
    // list cost nothing for a list nobody has looked at; showing the page never connects.
    // Nobody asked for the list yet, so a library without a loan table (it is made when the
    // first book is lent) stays quiet; a refresh of the page reports it as before.
    if (m_loansSeen || !m_firstShowDone || !m_database->connected())
        return;
    m_loansSeen = true;
    if (m_query5->active())
        return;
    try {
        RefreshGiven();
    } catch (const FbError &) {
    }
}

void TMainF::closeEvent(QCloseEvent *event)
{
    runGuarded([this] { FormClose(); });
    event->accept();
    QMainWindow::closeEvent(event);
}

void TMainF::FormClose()
{
    // An index being built is left out whole and built at the next start; the ones finished stay.
    for (DbWorker *worker : {m_indexer, m_counter}) {
        worker->stop();
        worker->wait(kWorkerCloseWaitMs);
    }
    saveConnectionProfileAtExit();
    LogEvent(LangStr(QStringLiteral("cexit")));
    const QString addMarker = AppState::baseDirectory() + QStringLiteral(".add");
    QFile::remove(addMarker);
    if (addWindowClosesAfterAdding()) {
        QFile marker(addMarker);
        if (!marker.open(QIODevice::WriteOnly))
            throw FileError(QStringLiteral("Cannot create file \"%1\". %2").arg(addMarker, marker.errorString()));
    }
    if (settingsList().value(QStringLiteral("Autolog")) == QLatin1String("1"))
        EventConsole::writeLogFile(AppState::baseDirectory() + QStringLiteral("logfile.txt"), EventConsole::lines());
}

// ---- pages and links ----

void TMainF::setActivePage(int page)
{
    ui->PageControl1->setCurrentIndex(page);
}

void TMainF::markPageLinks()
{
    const ClickableLabel *const links[] = {ui->LeftBooksLnk, ui->LeftGivenBooksLnk, ui->LeftInfoLnk, ui->LeftSqlLnk};
    const int active = ui->PageControl1->currentIndex();
    for (int page = kBooksPage; page <= kSqlPage; ++page)
        const_cast<ClickableLabel *>(links[page])->setTextColor(page == active ? kPageLinkColor : kRestColor);
}

void TMainF::LeftBooksLnkClick()
{
    setActivePage(kBooksPage);
    markPageLinks();
}

void TMainF::LeftGivenBooksLnkClick()
{
    setActivePage(kGivenPage);
    markPageLinks();
}

void TMainF::LeftInfoLnkClick()
{
    setActivePage(kInfoPage);
    markPageLinks();
}

void TMainF::LeftSqlLnkClick()
{
    setActivePage(kSqlPage);
    markPageLinks();
}

void TMainF::PageControl1Change(int index)
{
    if (!m_keepLinkColours)
        markPageLinks();
    // The navigator follows the list of the page on show, whatever list it last moved.
    DBNavigator1BeforeAction();
    if (index == kSqlPage)
        m_sqlPage->SQLShow();
    if (index == kGivenPage)
        showLoansFirstSeen();
    holdHiddenLists(index);
}

void TMainF::holdHiddenLists(int shownPage)
{
    // The loans and the SQL page's result follow the book list's moves while their page is in
    // sight, and once when it is shown again: a move on the book page costs them nothing.
    m_query5->holdMasterMoves(shownPage != kGivenPage);
    m_query2->holdMasterMoves(shownPage != kSqlPage);
}

void TMainF::lbSQLDblClick()
{
    m_keepLinkColours = true;
    setActivePage(kSqlPage);
    m_keepLinkColours = false;
}

void TMainF::setTabHeaderVisible(int page, bool visible)
{
    ui->PageControl1->tabBar()->setTabVisible(page, visible);
}

void TMainF::setTabsOnTop(bool onTop)
{
    ui->PageControl1->setTabPosition(onTop ? QTabWidget::North : QTabWidget::South);
}

void TMainF::LeftHideImgClick()
{
    for (QWidget *block : {ui->Panel12, ui->Panel13, ui->Panel15})
        block->setEnabled(false);
    ui->LeftHideImg->hide();
    ui->LeftUnhideImg->show();
    ui->MainLeftFrame->setFixedWidth(kLeftFrameCollapsed);
    showLeftFrameCollapsed(true);
    setSettingsHideLeftFrame(true);
}

void TMainF::LeftUnhideImgClick()
{
    for (QWidget *block : {ui->Panel12, ui->Panel13, ui->Panel15})
        block->setEnabled(true);
    ui->LeftHideImg->show();
    ui->LeftUnhideImg->hide();
    ui->MainLeftFrame->setFixedWidth(kLeftFrameWidth);
    showLeftFrameCollapsed(false);
    setSettingsHideLeftFrame(false);
}

void TMainF::showLeftFrameCollapsed(bool collapsed)
{
    // The 10-pixel strip is the expand picture alone: no margins to squeeze it, and the
    // disabled blocks out of the way.
    const int margin = collapsed ? 0 : kLeftFrameMargin;
    ui->MainLeftFrameLayout->setContentsMargins(margin, margin, margin, margin);
    for (QWidget *block : {ui->Panel12, ui->Panel13, ui->Panel15})
        block->setVisible(!collapsed);
    ui->LeftUnhideImg->setFixedWidth(collapsed ? kLeftFrameCollapsed : kFramePictureSize);
    ui->MainLeftFrame->setCursor(collapsed ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

bool TMainF::leftFrameCollapsed() const
{
    return ui->MainLeftFrame->width() == kLeftFrameCollapsed || ui->LeftUnhideImg->isVisibleTo(ui->MainLeftFrame);
}

void TMainF::ViewBookClick()
{
    toggleViewWindow();
    ui->ViewBook->setChecked(viewWindowShown());
}

void TMainF::Print1Click()
{
    const int page = ui->PageControl1->currentIndex();
    if (page == kBooksPage)
        ListPrint::printList(m_print, ui->DBGridEh1, QStringLiteral("lview"), connectionSettingsPath());
    else if (page == kGivenPage)
        ListPrint::printList(m_print, ui->DBGridEh2, QStringLiteral("ldbnbks"), connectionSettingsPath());
}

void TMainF::Image24Click()
{
    ui->Print1->trigger();
}

// ---- settings acting on the frame ----

void TMainF::setClockVisible(bool visible)
{
    ui->TimeLabel->setVisible(visible);
}

void TMainF::setConsoleShown(bool shown)
{
    if (!shown) {
        BarAnimTimer.stop();
        ui->MainBottomFrame->setFixedHeight(0);
    } else if (ui->MainBottomFrame->height() == 0 || ui->MainBottomFrame->maximumHeight() == 0) {
        BarAnimTimer.start();
    }
}

void TMainF::BarAnimTimerTimer()
{
    int height = ui->MainBottomFrame->maximumHeight();
    if (height <= kConsoleHeight) {
        height += kConsoleStep;
        ui->MainBottomFrame->setFixedHeight(height);
        repaint();
    }
    if (height >= kConsoleHeight)
        BarAnimTimer.stop();
}

void TMainF::setOpacityValue(int value)
{
    setWindowOpacity(value >= 255 ? 1.0 : value / 255.0);
}

void TMainF::showOpacityLabel(int value)
{
    ui->lbOpacity->setText(QString::number(value));
    ui->lbOpacity->show();
}

// ---- timers ----

void TMainF::Timer1Timer()
{
    ui->TimeLabel->setText(EventConsole::longTime(QTime::currentTime()));
}

void TMainF::SQLTimerTimer()
{
    ui->lbSQL->setVisible(m_database->connected());
}

void TMainF::Timer3Timer()
{
    ui->lbOpacity->hide();
}

void TMainF::Timer4Timer()
{
    const bool connected = m_database->connected();
    ui->ConnectedImg->setVisible(connected);
    ui->DisconnectedImg->setVisible(!connected);
}

void TMainF::Timer2Timer()
{
    const bool countBooks = m_bookCountStale || !m_bookCounted;
    const bool countGiven = !m_givenCounted;
    // A count still running answers for this tick; a change meanwhile waits for the next.
    if (!m_database->connected() || (!countBooks && !countGiven) || m_counter->running()) {
        showCounters();
        return;
    }
    m_bookCountStale = false;
    // A count opened here earlier is older than the one coming.
    if (countBooks && m_query3->active())
        m_query3->close();
    const QString books = countBooks ? m_query3->text() : QString();
    const QString given = countGiven ? m_query7->text() : QString();
    m_counter->start([books, given](DbWorker::Control &control) -> QVariant {
        QVariantList figures;
        for (const QString &statement : {books, given}) {
            figures << QVariant();
            if (statement.isEmpty())
                continue;
            try {
                FbQuery count(&control.database());
                count.setSqlText(statement);
                count.open();
                figures.last() = count.fieldText(count.fieldName(0));
            } catch (const FbError &) {
                // The counters never report: a failed count leaves its label empty.
                figures.last() = QString();
            }
        }
        return figures;
    });
}

void TMainF::countsArrived(const QVariant &figures)
{
    if (!m_database->connected())
        return;
    const QVariantList both = figures.toList();
    if (!both.value(0).isNull()) {
        ui->dbeBookCount->setText(both.value(0).toString());
        m_bookCounted = !ui->dbeBookCount->text().isEmpty();
    }
    if (!both.value(1).isNull()) {
        ui->dbeGivenBookCount->setText(both.value(1).toString());
        m_givenCounted = !ui->dbeGivenBookCount->text().isEmpty();
    }
    showCounters();
}

void TMainF::showCounters()
{
    ui->lbBookCount->setText(ui->dbeBookCount->text());
    ui->lbGivenBookCount->setText(ui->dbeGivenBookCount->text());
    const QString given = ui->dbeGivenBookCount->text();
    if (given.isEmpty())
        return;
    bool ok = false;
    const int n = given.toInt(&ok);
    if (!ok)
        return;
    ui->Label8->setVisible(n > 0);
    ui->lbGivenBookCount->setVisible(n > 0);
}

// ---- book list ----

void TMainF::reloadBooks(const QString &statement)
{
    const FbQuery::CloseHold rerun(m_query1);
    m_query1->setSqlText(statement);
    m_bookBaseSql = m_query1->text();
    LogSql(statement);
    BookListOpen::open(this);
}

void TMainF::RefreshImgClick()
{
    reloadBooks(m_currentBookSql);
}

void TMainF::RefreshBooks()
{
    RefreshImgClick();
}

void TMainF::RefreshGiven()
{
    LoanList::refreshLoanList(this);
}

void TMainF::LeftRefreshAllLbClick()
{
    m_currentBookSql = QString::fromLatin1(kAllBooksSql);
    reloadBooks(m_currentBookSql);
}

void TMainF::GeneralRefreshImgClick()
{
    const int page = ui->PageControl1->currentIndex();
    if (page == kBooksPage)
        RefreshImgClick();
    else if (page == kGivenPage)
        RefreshGiven();
}

void TMainF::Label5Click()
{
    RefreshImgClick();
    Timer2Timer();
}

void TMainF::Label8Click()
{
    ConnectDatabase();
    Timer2Timer();
}

void TMainF::Label6Click()
{
    LogEvent(connectionSettingsPath());
}

void TMainF::Button19Click()
{
    const QString file =
        UserPrompts::openFileName(this, DatabaseFileDialog::filter());
    if (file.isEmpty())
        return;
    ui->Label3->setText(file);
    applyPathInConnectionSettings(ui->Label3->text());
}

void TMainF::DBNavigator1BeforeAction()
{
    const int page = ui->PageControl1->currentIndex();
    if (page == kBooksPage)
        ui->DBNavigator1->setDataSource(m_source1);
    else if (page == kGivenPage)
        ui->DBNavigator1->setDataSource(m_source4);
}

// ---- connection ----

void TMainF::DisconnectDatabase()
{
    LogEvent(LangStr(QStringLiteral("cdbdisconn.")));
    m_database->close();
    LogEvent(LangStr(QStringLiteral("cdbdisconnd")));
}

bool TMainF::acceptedLibraryPath(const QString &path)
{
    const QFileInfo file(path);
    const QString name = file.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const bool gdb = dot >= 0 && name.mid(dot).compare(QLatin1String(".gdb"), Qt::CaseInsensitive) == 0;
    // A library on a server cannot be seen from here; the server itself answers for it.
    return gdb && (FbDatabase::isServerPath(path) || file.isFile());
}

void TMainF::ConnectDatabase()
{
    DisconnectDatabase();
    LogEvent(LangStr(QStringLiteral("cdbconn.")));
    const ConnectionRequest profile = currentConnectionRequest();
    if (profile.loginPrompt == QLatin1String("1"))
        m_database->setLoginPrompt(true);
    else if (profile.loginPrompt == QLatin1String("0"))
        m_database->setLoginPrompt(false);
    if (acceptedLibraryPath(profile.databasePath))
        m_database->setDatabaseName(profile.databasePath);
    try {
        m_database->setParams(profile.params);
        m_database->open();
        showConnectedPath(m_database->databaseName());
        LogEvent(LangStr(QStringLiteral("cdbconnd")));
        LogEvent(QStringLiteral("Connected to: ") + m_database->databaseName());
    } catch (const FbError &) {
        LogEvent(LangStr(QStringLiteral("cdbconner")));
    }
}

void TMainF::addMissingIndexes()
{
    try {
        if (BookIsbnTable::ensure(*m_database))
            LogEvent(LangStr(QStringLiteral("cisbntable")));
    } catch (const FbError &e) {
        LogEvent(LangStr(QStringLiteral("cisbntabler")) + e.message());
    }
    // A reconnect while they are being built: the build goes on.
    if (m_indexer->running())
        return;
    m_indexer->start([](DbWorker::Control &control) -> QVariant {
        const QStringList built = LibrarySchema::buildMissingIndexes(
            control.database(), [&control](int done, int total, const QString &) {
                control.progress(done, total);
                return !control.stopRequested();
            });
        return int(built.size());
    });
}

void TMainF::indexProgress(qint64 done, qint64 total)
{
    if (done == 0)
        LogEvent(LangStr(QStringLiteral("cdbidx1")));
    if (done < total)
        LogEvent(LangStr(QStringLiteral("cdbidx4")).arg(done + 1).arg(total));
}

void TMainF::showConnectedPath(const QString &path)
{
    ui->lbPath->setText(path);
    setWindowTitle(QString::fromLatin1(kBaseTitle) + QStringLiteral(" - ") + ui->lbPath->text());
}

void TMainF::UpgradeDatabaseStructure()
{
    m_bookBaseSql = m_query1->text();
    m_query1->clearSql();
    LogEvent(LangStr(QStringLiteral("cdbmod1")));
    try {
        const QString create = QString::fromLatin1(kCreateGivenSql);
        m_query1->setSqlText(create);
        LogSql(create);
        m_query1->execSQL();
        m_query1->clearSql();
        m_query1->setSqlText(m_bookBaseSql);
        LogEvent(LangStr(QStringLiteral("cdbmod2")));
        DisconnectDatabase();
        ConnectDatabase();
    } catch (const FbError &) {
        LogEvent(LangStr(QStringLiteral("cdbmod3")));
    }
}

void TMainF::ConnectedImgClick()
{
    DisconnectDatabase();
    ui->lbBookCount->setText(ui->dbeBookCount->text());
}

void TMainF::DisconnectedImgClick()
{
    ConnectDatabase();
    m_query3->open();
    ui->lbBookCount->setText(ui->dbeBookCount->text());
}

// ---- console and other windows ----

void TMainF::N4Click()
{
    EventConsole::writeLogFile(AppState::baseDirectory() + QStringLiteral("logfile.txt"), EventConsole::lines());
    LogEvent(LangStr(QStringLiteral("clogsav")));
}

void TMainF::N1Click()
{
    EventConsole::writeLogFile(QDir::current().filePath(QStringLiteral("logfile.txt")), EventConsole::lines());
    LogEvent(LangStr(QStringLiteral("clogsav")));
}

void TMainF::N6Click()
{
    showLogViewer();
}

void TMainF::N5Click()
{
    showAppWindow(AppWindow::Settings);
}

void TMainF::Register1Click()
{
    showAppWindow(AppWindow::Register);
}
