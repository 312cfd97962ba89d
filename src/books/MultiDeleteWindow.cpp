#include "MultiDeleteWindow.h"

#include "AppState.h"
#include "BookLinks.h"
#include "BookStatements.h"
#include "DeleteBookWindow.h"
#include "DialogKeys.h"
#include "EventConsole.h"
#include "FbQuery.h"
#include "UserPrompts.h"
#include "ui_MultiDeleteWindow.h"

TMultiDelF *MultiDelF = nullptr;

TMultiDelF::TMultiDelF(QWidget *parent) : DialogBase(parent), ui(std::make_unique<Ui::TMultiDelF>())
{
    MultiDelF = this;
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setThemedWidgets({ui->Panel1, ui->Label3});
    DataSource *source = mainApi() ? mainApi()->DataSource1() : nullptr;
    ui->DBText1->setDataField(QStringLiteral("ID"));
    ui->DBText1->setDataSource(source);
    ui->DBText2->setDataField(QStringLiteral("TITLE"));
    ui->DBText2->setDataSource(source);
    ui->DBNavigator1->setDataSource(source);
    for (ClickableLabel *link : {ui->MarkToDelLb, ui->UnmarkToDelLb, ui->ClearDelList})
        setLinkColors(link, Qt::black);

    connect(ui->Button2, &QPushButton::clicked, this, &TMultiDelF::Button2Click);
    connect(ui->Button1, &QPushButton::clicked, this, &TMultiDelF::Button1Click);
    connect(ui->MarkToDelLb, &ClickableLabel::clicked, this, &TMultiDelF::MarkToDelLbClick);
    connect(ui->DBText1, &DBText::clicked, this, &TMultiDelF::DBText1Click);
    connect(ui->UnmarkToDelLb, &ClickableLabel::clicked, this, &TMultiDelF::UnmarkToDelLbClick);
    connect(ui->ClearDelList, &ClickableLabel::clicked, this, &TMultiDelF::ClearDelListClick);
    connect(ui->DBText2, &DBText::clicked, this, &TMultiDelF::DBText2Click);
    DialogKeys::install(this, ui->Button2, ui->Button1);
}

TMultiDelF::~TMultiDelF()
{
    if (MultiDelF == this)
        MultiDelF = nullptr;
}

void TMultiDelF::showEvent(QShowEvent *event)
{
    DialogBase::showEvent(event);
    FormShow();
}

void TMultiDelF::FormShow()
{
    ui->DelList->clear();
    updateCount();
    ui->Button2->setFocus();
}

void TMultiDelF::updateCount()
{
    ui->Label6->setText(QString::number(ui->DelList->count()));
}

void TMultiDelF::MarkToDelLbClick()
{
    ui->DelList->addItem(ui->DBText1->text());
    updateCount();
}

void TMultiDelF::DBText1Click()
{
    MarkToDelLbClick();
}

void TMultiDelF::UnmarkToDelLbClick()
{
    const int row = ui->DelList->currentRow();
    if (row < 0 || !ui->DelList->currentItem() || !ui->DelList->currentItem()->isSelected())
        return;
    delete ui->DelList->takeItem(row);
    updateCount();
}

void TMultiDelF::ClearDelListClick()
{
    ui->DelList->clear();
    updateCount();
}

void TMultiDelF::DBText2Click()
{
    LogEvent(ui->DBText2->text());
}

void TMultiDelF::Button2Click()
{
    int deleted = 0;
    QStringList missing;
    for (int i = 0; i < ui->DelList->count(); ++i) {
        const std::optional<qint64> id = BookStatements::parseId(ui->DelList->item(i)->text());
        if (!id)
            continue;
        switch (deleteBook(*id)) {
        case DeleteOutcome::Deleted:
            ++deleted;
            break;
        case DeleteOutcome::NoSuchBook:
            missing << noSuchBookMessage(*id);
            break;
        case DeleteOutcome::Refused:
            UserPrompts::message(UserPrompts::Kind::Error, deleteRefusedMessage());
            break;
        }
    }
    const QString count = QString::number(deleted);
    QString summary = count + QStringLiteral(" books deleted!\r") + count + QStringLiteral(" книг удалено!");
    // Identifiers without a book are named under the count (a book marked twice is one of them).
    for (const QString &line : std::as_const(missing))
        summary += QLatin1Char('\r') + line;
    LogEvent(summary);
    UserPrompts::message(UserPrompts::Kind::Information, summary);
    runGuarded([] { mainApi()->RefreshBooks(); });
    ui->DelList->clear();
    updateCount();
}

void TMultiDelF::Button1Click()
{
    hide();
}

void TMultiDelF::reject()
{
    Button1Click();
}
