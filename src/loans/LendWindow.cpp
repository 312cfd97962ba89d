#include "LendWindow.h"

#include "ui_LendWindow.h"

#include "AppState.h"
#include "EventConsole.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "LangStr.h"
#include "LoanFailure.h"
#include "LoanPeriod.h"
#include "LoanRecords.h"
#include "LoanSchema.h"
#include "LoanStatements.h"
#include "Borrowers.h"
#include "UserPrompts.h"

#include <QCompleter>
#include <QDate>
#include <QStringListModel>

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
    // The borrowers' book offers its names; any other name is typed as before.
    m_names = new QStringListModel(this);
    auto *completer = new QCompleter(m_names, this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    ui->GivenToEd->setCompleter(completer);
    connect(ui->NoDueDate, &QCheckBox::toggled, ui->DueDatePicker, &QWidget::setDisabled);
    // The due date follows the loan date by the loan period until the user sets it.
    connect(ui->DateTimePicker1, &QDateEdit::dateChanged, this,
            [this](const QDate &given) { ui->DueDatePicker->setDate(given.addDays(LoanPeriod::days())); });
    connect(ui->AddBorrowerBtn, &QToolButton::clicked, this, &TGivenF::addBorrowerClick);
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
    ui->DueDatePicker->setDate(QDate::currentDate().addDays(LoanPeriod::days()));
    ui->NoDueDate->setChecked(false);
    ui->DueLabel->setText(LangStr(QStringLiteral("lduelabel")));
    ui->NoDueDate->setText(LangStr(QStringLiteral("lnodue")));
    ui->AddBorrowerBtn->setToolTip(LangStr(QStringLiteral("hborradd")));
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
    m_names->setStringList(Borrowers::names(*api->IBDatabase1()));
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
    const bool withDue = !ui->NoDueDate->isChecked();
    if (withDue && ui->DueDatePicker->date() < ui->DateTimePicker1->date()) {
        UserPrompts::message(UserPrompts::Kind::Warning, LangStr(QStringLiteral("lduebefore")));
        ui->DueDatePicker->setFocus();
        return;
    }
    MainWindowApi *api = mainApi();
    FbQuery *query = api->IBQuery5();
    try {
        // The loan and its due date are stored together or not at all.
        FbBatch batch(query->transaction());
        query->clearSql();
        const QString statement = LoanSql::lendStatement(id, ui->GivenToEd->text(),
                                                         ui->DateTimePicker1->date(), m_dateLocale);
        query->setSqlText(statement);
        LogSql(statement);
        query->execSQL();
        // A library this account could not give the due-date column to still lends as before.
        if (withDue && LoanSchema::present(*api->IBDatabase1())) {
            const QString due = LoanRecords::setDueStatement(id, ui->GivenToEd->text(), ui->DateTimePicker1->date(),
                                                             ui->DueDatePicker->date());
            query->setSqlText(due);
            LogSql(due);
            query->execSQL();
        }
        batch.commit();
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

void TGivenF::addBorrowerClick()
{
    const QString name = ui->GivenToEd->text().trimmed();
    if (name.isEmpty()) {
        UserPrompts::message(UserPrompts::Kind::Warning, QString::fromUtf8(kNoBorrowerMessage));
        ui->GivenToEd->setFocus();
        return;
    }
    MainWindowApi *api = mainApi();
    const QString error = Borrowers::add(*api->IBDatabase1(), {name, {}, {}, {}});
    if (!error.isEmpty()) {
        UserPrompts::message(UserPrompts::Kind::Error, LangStr(QStringLiteral("lborrnotadded")) + QStringLiteral("\r\r") + error);
        return;
    }
    m_names->setStringList(Borrowers::names(*api->IBDatabase1()));
}
