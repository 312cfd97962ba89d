#include "DeleteBookWindow.h"

#include "AppState.h"
#include "BookLinks.h"
#include "BookStatements.h"
#include "BookWrites.h"
#include "DialogKeys.h"
#include "EventConsole.h"
#include "FbQuery.h"
#include "LangStr.h"
#include "MultiDeleteWindow.h"
#include "UserPrompts.h"
#include "ui_DeleteBookWindow.h"

Tdel *del = nullptr;

namespace
{
std::function<void()> &languageRoutine()
{
    static std::function<void()> routine;
    return routine;
}

const QString kValidId = QStringLiteral("Please enter a valid ID value!\rВведите корректное значение ID!");
} // namespace

DeleteOutcome deleteBook(qint64 id)
{
    const QString sql = BookStatements::deleteSql(id);
    LogSql(sql);
    FbQuery *query = mainApi()->IBQuery1();
    try {
        query->setSqlText(sql);
        query->execSQL();
    } catch (const std::exception &) {
        return DeleteOutcome::Refused;
    }
    // A statement that deleted nothing is no deletion, whatever the console would have said.
    if (query->rowsAffected() == 0) {
        LogEvent(noSuchBookMessage(id));
        return DeleteOutcome::NoSuchBook;
    }
    LogEvent(LangStr(QStringLiteral("cbook")) + QStringLiteral(" № ") + QString::number(id) + QLatin1Char(' ') +
             LangStr(QStringLiteral("cbdeld")));
    return DeleteOutcome::Deleted;
}

QString noSuchBookMessage(qint64 id)
{
    return LangStr(QStringLiteral("cbnoid")).arg(id);
}

QString deleteRefusedMessage()
{
    return LangStr(QStringLiteral("ldlterre"));
}

Tdel::Tdel(QWidget *parent) : DialogBase(parent), ui(std::make_unique<Ui::Tdel>())
{
    del = this;
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setThemedWidgets({ui->Label3, ui->Panel1, ui->StatusBar1, ui->CloseAfterDel});
    DataSource *source = mainApi() ? mainApi()->DataSource1() : nullptr;
    ui->DBText1->setDataField(QStringLiteral("ID"));
    ui->DBText1->setDataSource(source);
    ui->DBText2->setDataField(QStringLiteral("TITLE"));
    ui->DBText2->setDataSource(source);
    setLinkColors(ui->MultiDelLb, Qt::gray);
    setLinkColors(ui->Clear, Qt::gray);

    connect(ui->Button2, &QPushButton::clicked, this, &Tdel::Button2Click);
    connect(ui->Button1, &QPushButton::clicked, this, &Tdel::Button1Click);
    connect(ui->DBText1, &DBText::clicked, this, &Tdel::DBText1Click);
    connect(ui->DBText2, &DBText::clicked, this, &Tdel::DBText2Click);
    connect(ui->Clear, &ClickableLabel::clicked, this, &Tdel::Label6Click);
    connect(ui->MultiDelLb, &ClickableLabel::clicked, this, &Tdel::MultiDelLbClick);
    DialogKeys::install(this, ui->Button2, ui->Button1);
}

void Tdel::setLanguageRoutine(std::function<void()> routine)
{
    languageRoutine() = std::move(routine);
}

Tdel::~Tdel()
{
    if (del == this)
        del = nullptr;
}

void Tdel::showEvent(QShowEvent *event)
{
    DialogBase::showEvent(event);
    FormShow();
}

void Tdel::FormShow()
{
    ui->delBook->setFocus();
    if (languageRoutine())
        languageRoutine()();
}

void Tdel::DBText1Click()
{
    ui->delBook->setText(ui->DBText1->text());
}

void Tdel::DBText2Click()
{
    LogEvent(ui->DBText2->text());
}

void Tdel::Label6Click()
{
    ui->delBook->clear();
}

void Tdel::MultiDelLbClick()
{
    if (MultiDelF) {
        MultiDelF->show();
        MultiDelF->raise();
    }
}

void Tdel::Button2Click()
{
    if (ui->delBook->text().isEmpty()) {
        ui->delBook->setFocus();
        return;
    }
    const std::optional<qint64> id = BookStatements::parseId(ui->delBook->text());
    if (!id) {
        UserPrompts::message(UserPrompts::Kind::Warning, kValidId);
        ui->delBook->clear();
        ui->delBook->setFocus();
        return;
    }
    switch (deleteBook(*id)) {
    case DeleteOutcome::Refused:
        BookWrites::rerunListAfterFailure();
        UserPrompts::message(UserPrompts::Kind::Error, deleteRefusedMessage());
        return;
    case DeleteOutcome::NoSuchBook:
        runGuarded([] { mainApi()->RefreshBooks(); });
        UserPrompts::message(UserPrompts::Kind::Warning, noSuchBookMessage(*id));
        return;
    case DeleteOutcome::Deleted:
        break;
    }
    ui->delBook->clear();
    runGuarded([] { mainApi()->RefreshBooks(); });
    if (ui->CloseAfterDel->isChecked())
        hide();
}

void Tdel::Button1Click()
{
    hide();
}

void Tdel::reject()
{
    Button1Click();
}
