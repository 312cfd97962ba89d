#include "LoanSearchBar.h"

#include "ui_LoanSearchBar.h"

#include "AppState.h"
#include "ChosenEntry.h"
#include "EventConsole.h"
#include "FbQuery.h"
#include "LangStr.h"
#include "LoanChangeWindow.h"
#include "LoanStatements.h"
#include "StyleIcon.h"
#include "UserPrompts.h"

#include <QLineEdit>
#include <QStyle>

namespace {
const char *const kBadIdMessage = "Search by id needs a whole number\rДля поиска по id введите целое число";

// No item chosen: the list shows its prompt instead; the prompt cannot be typed over.
void showPrompt(QComboBox *list, const QString &prompt)
{
    list->lineEdit()->setReadOnly(true);
    list->setCurrentIndex(-1);
    list->setEditText(prompt);
}
} // namespace

LoanSearchBar::LoanSearchBar(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::LoanSearchBar>())
{
    ui->setupUi(this);
    ui->SelList4->setItemText(1, LangStr(QStringLiteral("ftitle")));
    ui->SelList4->setItemText(2, LangStr(QStringLiteral("fgvnt")));
    ui->SelList4->setItemText(3, LangStr(QStringLiteral("fgvnd")));
    ui->SelList4->addItem(LangStr(QStringLiteral("fgvndue")));
    ui->SelList5->setItemText(0, LangStr(QStringLiteral("ftitle")));
    ui->SelList5->setItemText(1, LangStr(QStringLiteral("fgvnt")));
    ui->SelList5->setItemText(2, LangStr(QStringLiteral("fgvnd")));
    showPrompt(ui->SelList4, LangStr(QStringLiteral("larrgby")));
    showPrompt(ui->SelList5, LangStr(QStringLiteral("lsrchby")));
    ui->EdSel3->setText(LangStr(QStringLiteral("lsrchw")));

    ui->GivenArrDown->setIcon(lazyStandardIcon(QStyle::SP_ArrowDown));
    ui->GivenArrUp->setIcon(lazyStandardIcon(QStyle::SP_ArrowUp));
    ui->GivenSrch->setIcon(lazyStandardIcon(QStyle::SP_FileDialogContentsView));
    ui->GivenRefresh->setIcon(lazyStandardIcon(QStyle::SP_BrowserReload));

    connect(ui->GivenArrDown, &QToolButton::clicked, this, &LoanSearchBar::GivenArrDownClick);
    connect(ui->GivenArrUp, &QToolButton::clicked, this, &LoanSearchBar::GivenArrUpClick);
    connect(ui->GivenSrch, &QToolButton::clicked, this, &LoanSearchBar::GivenSrchClick);
    connect(ui->GivenCng, &QPushButton::clicked, this, &LoanSearchBar::GivenCngClick);
    connect(ui->GivenRefresh, &QToolButton::clicked, this, &LoanSearchBar::GivenRefreshClick);
    // Enter in the search box searches, as the search picture does.
    connect(ui->EdSel3, &QLineEdit::returnPressed, this, &LoanSearchBar::GivenSrchClick);
}

LoanSearchBar::~LoanSearchBar() = default;

void LoanSearchBar::GivenArrDownClick()
{
    arrange(true);
}

void LoanSearchBar::GivenArrUpClick()
{
    arrange(false);
}

void LoanSearchBar::arrangeByColumn(const QString &column)
{
    const int item = LoanSql::orderItemOfColumn(column);
    if (item < 0)
        return;
    const bool ascending = m_titleOrder.click(item);
    ui->SelList4->setCurrentIndex(item);
    arrange(ascending);
}

void LoanSearchBar::arrangeByDueDate()
{
    ui->SelList4->setCurrentIndex(LoanSql::kDueDateOrderItem);
    arrange(true);
}

void LoanSearchBar::arrange(bool ascending)
{
    const int item = chosenEntry(ui->SelList4);
    if (LoanSql::orderColumn(item).isEmpty()) {
        ui->SelList4->setFocus();
        return;
    }
    MainWindowApi *api = mainApi();
    // Orderings apply to the last refresh or search, so they never pile up.
    const QString statement = LoanSql::orderStatement(api->GivenBaseSql(), item, ascending);
    if (statement.isEmpty())
        return;
    runGuarded([&] {
        LogSql(statement);
        api->IBQuery5()->setSqlText(statement);
        api->IBQuery5()->open();
    });
}

void LoanSearchBar::GivenSrchClick()
{
    const QString text = ui->EdSel3->text();
    if (!text.isEmpty())
        ui->EdSel3->setFocus();
    const LoanSql::SearchResult search = LoanSql::searchStatement(chosenEntry(ui->SelList5), text);
    if (search.status == LoanSql::SearchResult::Status::NoField) {
        ui->SelList5->setFocus();
        return;
    }
    if (search.status == LoanSql::SearchResult::Status::BadId) {
        UserPrompts::message(UserPrompts::Kind::Warning, QString::fromUtf8(kBadIdMessage));
        return;
    }
    MainWindowApi *api = mainApi();
    runGuarded([&] {
        LogSql(search.statement);
        api->IBQuery5()->setSqlText(search.statement);
        api->setGivenBaseSql(api->IBQuery5()->text());
        api->IBQuery5()->open();
        if (api->IBQuery5()->isEmpty())
            emit nothingFound();
    });
}

void LoanSearchBar::GivenCngClick()
{
    if (GivenCngF)
        GivenCngF->exec();
}

void LoanSearchBar::GivenRefreshClick()
{
    runGuarded([] { mainApi()->RefreshGiven(); });
}
