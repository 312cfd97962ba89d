#include "LoanChangeWindow.h"

#include "ui_LoanChangeWindow.h"

#include "AppState.h"
#include "EventConsole.h"
#include "FbQuery.h"
#include "LoanFailure.h"
#include "LangStr.h"
#include "LoanRecords.h"
#include "LoanStatements.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QTimer>

TGivenCngF *GivenCngF = nullptr;

TGivenCngF::TGivenCngF(QWidget *parent)
    : DialogBase(parent)
    , ui(std::make_unique<Ui::TGivenCngF>())
{
    GivenCngF = this;
    ui->setupUi(this);
    setThemedWidgets({ui->Label4, ui->Label1, ui->Label2, ui->Label3, ui->Panel1});
    if (MainWindowApi *api = mainApi()) {
        ui->DBText1->setDataSource(api->DataSource4());
        ui->DBText1->setDataField(QStringLiteral("TITLE"));
        ui->DBEdit1->setDataSource(api->DataSource4());
        ui->DBEdit1->setDataField(QStringLiteral("GIVEN_ID"));
        ui->DBText2->setDataSource(api->DataSource4());
        ui->DBText2->setDataField(QStringLiteral("GIVEN_TO"));
    }
    connect(ui->Button1, &QPushButton::clicked, this, &TGivenCngF::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TGivenCngF::Button2Click);
    connect(ui->ExtendBtn, &QPushButton::clicked, this, &TGivenCngF::extendClick);
    connect(ui->RemindBtn, &QPushButton::clicked, this, &TGivenCngF::remindClick);
    connect(ui->CopyReminderBtn, &QPushButton::clicked, this, &TGivenCngF::copyReminderClick);
}

TGivenCngF::~TGivenCngF()
{
    if (GivenCngF == this)
        GivenCngF = nullptr;
}

void TGivenCngF::showEvent(QShowEvent *event)
{
    DialogBase::showEvent(event);
    FormShow();
}

void TGivenCngF::FormShow()
{
    if (ui->DBEdit1->text().isEmpty()) {
        // Closed from the dialog's own event loop, so that a modal call returns.
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    ui->ReGivenToEd->setText(ui->DBText2->text());
    ui->ExtendLabel->setText(LangStr(QStringLiteral("lextendby")));
    ui->ExtendDaysLabel->setText(LangStr(QStringLiteral("ldays")));
    ui->ExtendBtn->setText(LangStr(QStringLiteral("lextend")));
    ui->RemindBtn->setText(LangStr(QStringLiteral("lremind")));
    ui->CopyReminderBtn->setText(LangStr(QStringLiteral("lremcopy")));
    showDue();
}

void TGivenCngF::showDue()
{
    const Reminder::Loan loan = currentLoan();
    ui->DueShown->setText(loan.due.isValid()
                              ? LangStr(QStringLiteral("lduenow")).arg(QLocale::system().toString(loan.due, QLocale::ShortFormat))
                              : LangStr(QStringLiteral("lnoduenow")));
}

void TGivenCngF::Button1Click()
{
    const QString id = ui->DBEdit1->text();
    if (id.isEmpty()) {
        close();
        return;
    }
    runOnLoan(LoanSql::changeStatement(id, ui->ReGivenToEd->text()), LoanFailure::kChange);
}

bool TGivenCngF::runOnLoan(const QString &statement, const char *failure)
{
    MainWindowApi *api = mainApi();
    FbQuery *query = api->IBQuery5();
    const QStringList listLines = query->sql();
    try {
        LogSql(statement);
        api->setGivenBaseSql(query->text());
        query->setSqlText(statement);
        query->execSQL();
    } catch (const std::exception &e) {
        query->setSql(listLines);
        LoanFailure::rereadAfterFailure();
        LoanFailure::report(failure, QString::fromStdString(e.what()));
        return false;
    }
    query->setSql(listLines);
    LoanFailure::reread([query, api] {
        query->open();
        api->RefreshGiven();
    });
    return true;
}

void TGivenCngF::extendClick()
{
    const QString id = ui->DBEdit1->text();
    if (id.isEmpty())
        return;
    if (runOnLoan(LoanRecords::extendStatement(id, ui->ExtendDays->value()), LoanFailure::kExtend))
        showDue();
}

Reminder::Loan TGivenCngF::currentLoan() const
{
    Reminder::Loan loan;
    MainWindowApi *api = mainApi();
    const QString id = ui->DBEdit1->text();
    if (!api || id.isEmpty())
        return loan;
    loan.borrower = ui->DBText2->text();
    loan.title = ui->DBText1->text();
    loan.given = api->IBQuery5()->fieldValue(QStringLiteral("GIVEN_DATE")).toDate();
    Reminder::completeFromLibrary(*api->IBDatabase1(), id, loan);
    return loan;
}

void TGivenCngF::remindClick()
{
    if (ui->DBEdit1->text().isEmpty())
        return;
    QDesktopServices::openUrl(Reminder::mailtoUrl(currentLoan()));
}

void TGivenCngF::copyReminderClick()
{
    if (ui->DBEdit1->text().isEmpty())
        return;
    QGuiApplication::clipboard()->setText(Reminder::body(currentLoan()));
}

void TGivenCngF::Button2Click()
{
    close();
}
