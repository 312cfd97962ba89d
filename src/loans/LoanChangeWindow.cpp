#include "LoanChangeWindow.h"

#include "ui_LoanChangeWindow.h"

#include "AppState.h"
#include "EventConsole.h"
#include "FbQuery.h"
#include "LoanFailure.h"
#include "LoanStatements.h"

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
}

void TGivenCngF::Button1Click()
{
    const QString id = ui->DBEdit1->text();
    if (id.isEmpty()) {
        close();
        return;
    }
    MainWindowApi *api = mainApi();
    FbQuery *query = api->IBQuery5();
    const QStringList listLines = query->sql();
    try {
        const QString statement = LoanSql::changeStatement(id, ui->ReGivenToEd->text());
        LogSql(statement);
        api->setGivenBaseSql(query->text());
        query->setSqlText(statement);
        query->execSQL();
    } catch (const std::exception &e) {
        query->setSql(listLines);
        LoanFailure::rereadAfterFailure();
        LoanFailure::report(LoanFailure::kChange, QString::fromStdString(e.what()));
        return;
    }
    query->setSql(listLines);
    LoanFailure::reread([query, api] {
        query->open();
        api->RefreshGiven();
    });
}

void TGivenCngF::Button2Click()
{
    close();
}
