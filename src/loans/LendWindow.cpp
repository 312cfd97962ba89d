#include "LendWindow.h"

#include "ui_LendWindow.h"

#include "AppState.h"
#include "EventConsole.h"
#include "FbQuery.h"
#include "LoanFailure.h"
#include "LoanStatements.h"
#include "UserPrompts.h"

#include <QDate>

TGivenF *GivenF = nullptr;

namespace {
const char *const kUpgradeMessage = "Bibliora going to modify database structure\rto provide given books feature\r"
                                    "Bibliora модифицирует структуру БД для\rобеспечения этой возможности";
const char *const kNoBorrowerMessage = "Please type \"given to\" information\rПожалуйста введите информацию о том\r"
                                       "кому отдается книга";
} // namespace

TGivenF::TGivenF(QWidget *parent)
    : DialogBase(parent)
    , ui(std::make_unique<Ui::TGivenF>())
{
    GivenF = this;
    ui->setupUi(this);
    setThemedWidgets({ui->Label4, ui->Panel1});
    if (MainWindowApi *api = mainApi()) {
        ui->DBText1->setDataSource(api->DataSource1());
        ui->DBText1->setDataField(QStringLiteral("TITLE"));
        ui->DBEdit1->setDataSource(api->DataSource1());
        ui->DBEdit1->setDataField(QStringLiteral("Id"));
    }
    connect(ui->Button1, &QPushButton::clicked, this, &TGivenF::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TGivenF::Button2Click);
}

TGivenF::~TGivenF()
{
    if (GivenF == this)
        GivenF = nullptr;
}

void TGivenF::showEvent(QShowEvent *event)
{
    DialogBase::showEvent(event);
    FormShow();
}

void TGivenF::FormShow()
{
    ui->DateTimePicker1->setDate(QDate::currentDate());
    MainWindowApi *api = mainApi();
    // A library of the older kind has no loan table; the probe finds out.
    bool haveTable = true;
    try {
        api->IBQuery6()->open();
        api->IBQuery6()->close();
    } catch (const std::exception &) {
        haveTable = false;
    }
    if (!haveTable) {
        UserPrompts::message(UserPrompts::Kind::Information, QString::fromUtf8(kUpgradeMessage));
        api->UpgradeDatabaseStructure();
    }
    ui->GivenToEd->setFocus();
}

void TGivenF::Button1Click()
{
    if (ui->GivenToEd->text().isEmpty()) {
        UserPrompts::message(UserPrompts::Kind::Warning, QString::fromUtf8(kNoBorrowerMessage));
        ui->GivenToEd->setFocus();
        return;
    }
    // No current book (say, the book list closed by a reconnection): nothing to lend.
    const QString id = ui->DBEdit1->text();
    if (id.isEmpty()) {
        close();
        return;
    }
    MainWindowApi *api = mainApi();
    FbQuery *query = api->IBQuery5();
    try {
        query->clearSql();
        const QString statement = LoanSql::lendStatement(id, ui->GivenToEd->text(),
                                                         ui->DateTimePicker1->date(), m_dateLocale);
        query->setSqlText(statement);
        LogSql(statement);
        query->execSQL();
    } catch (const std::exception &e) {
        LoanFailure::rereadAfterFailure();
        LoanFailure::report(LoanFailure::kLend, QString::fromStdString(e.what()));
        return;
    }
    LoanFailure::reread([api] { api->RefreshGiven(); });
    close();
}

void TGivenF::Button2Click()
{
    close();
}
