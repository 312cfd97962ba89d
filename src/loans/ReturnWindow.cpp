#include "ReturnWindow.h"

#include "ui_ReturnWindow.h"

#include "AppState.h"
#include "EventConsole.h"
#include "FbQuery.h"
#include "LoanFailure.h"
#include "LoanStatements.h"

TBackF *BackF = nullptr;

TBackF::TBackF(QWidget *parent)
    : DialogBase(parent)
    , ui(std::make_unique<Ui::TBackF>())
{
    BackF = this;
    ui->setupUi(this);
    setThemedWidgets({ui->Label4, ui->Panel1});
    if (MainWindowApi *api = mainApi()) {
        ui->DBText1->setDataSource(api->DataSource4());
        ui->DBText1->setDataField(QStringLiteral("TITLE"));
        ui->DBEdit1->setDataSource(api->DataSource4());
        ui->DBEdit1->setDataField(QStringLiteral("GIVEN_ID"));
    }
    connect(ui->Button1, &QPushButton::clicked, this, &TBackF::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TBackF::Button2Click);
}

TBackF::~TBackF()
{
    if (BackF == this)
        BackF = nullptr;
}

void TBackF::Button1Click()
{
    const QString id = ui->DBEdit1->text();
    if (id.isEmpty()) {
        close();
        return;
    }
    MainWindowApi *api = mainApi();
    FbQuery *query = api->IBQuery5();
    const QString statement = LoanSql::returnStatement(id);
    try {
        query->setSqlText(statement);
        query->execSQL();
        query->clearSql();
    } catch (const std::exception &e) {
        LogSql(statement);
        LoanFailure::rereadAfterFailure();
        LoanFailure::report(LoanFailure::kReturn, QString::fromStdString(e.what()));
        return;
    }
    // Logged once it has run.
    LogSql(statement);
    LoanFailure::reread([api] { api->RefreshGiven(); });
    close();
}

void TBackF::Button2Click()
{
    close();
}
