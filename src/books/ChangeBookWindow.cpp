#include "ChangeBookWindow.h"

#include "AppState.h"
#include "DialogKeys.h"
#include "EventConsole.h"
#include "FbQuery.h"
#include "LangStr.h"
#include "UserPrompts.h"
#include "ui_ChangeBookWindow.h"

Tcng *cng = nullptr;

Tcng::Tcng(QWidget *parent) : DialogBase(parent), ui(std::make_unique<Ui::Tcng>())
{
    cng = this;
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setThemedWidgets({ui->Label1, ui->Panel1, ui->Panel2});
    using namespace BookStatements;
    const std::pair<QLineEdit *, int> limits[] = {
        {ui->cngTitle, kTitleLength}, {ui->cngAuthor, kAuthorLength},           {ui->cngYear, kYearLength},
        {ui->cngSeria, kSeriaLength}, {ui->cngPublisher, kPublisherLength},     {ui->cngPlace, kPlaceLength},
        {ui->cngGenre, kGenreLength}, {ui->cngDescription, kDescriptionLength}, {ui->cngClas, kClasLength},
    };
    for (const auto &[edit, longest] : limits)
        edit->setMaxLength(longest);
    bindFields();

    connect(ui->Button1, &QPushButton::clicked, ui->BitBtn2, &QPushButton::click);
    connect(ui->Button2, &QPushButton::clicked, ui->BitBtn1, &QPushButton::click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &Tcng::BitBtn2Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &Tcng::BitBtn1Click);
    connect(ui->GeneralRefreshImg, &ClickableLabel::clicked, this, &Tcng::RefreshClick);
    DialogKeys::install(this, ui->Button1, ui->Button2);
}

Tcng::~Tcng()
{
    if (cng == this)
        cng = nullptr;
}

void Tcng::bindFields()
{
    DataSource *source = mainApi() ? mainApi()->DataSource1() : nullptr;
    const std::pair<DBEdit *, const char *> bound[] = {
        {ui->getTitle, "TITLE"}, {ui->getAuthor, "AUTHOR"},           {ui->getYear, "IYEAR"},
        {ui->getSeria, "SERIA"}, {ui->getPublisher, "PUBLISHER"},     {ui->getPlace, "PLACE"},
        {ui->getGenre, "GENRE"}, {ui->getDescription, "DESCRIPTION"}, {ui->getClas, "CLAS"},
        {ui->getId, "ID"},
    };
    for (const auto &[field, column] : bound) {
        field->setDataField(QLatin1String(column));
        if (field->dataSource() != source)
            field->setDataSource(source);
    }
}

void Tcng::showEvent(QShowEvent *event)
{
    DialogBase::showEvent(event);
    FormShow();
}

void Tcng::FormShow()
{
    bindFields();
    RefreshClick();
    ui->cngTitle->setFocus();
}

void Tcng::RefreshClick()
{
    ui->cngTitle->setText(ui->getTitle->text());
    ui->cngAuthor->setText(ui->getAuthor->text());
    ui->cngYear->setText(ui->getYear->text());
    ui->cngSeria->setText(ui->getSeria->text());
    ui->cngPublisher->setText(ui->getPublisher->text());
    ui->cngPlace->setText(ui->getPlace->text());
    ui->cngGenre->setText(ui->getGenre->text());
    ui->cngDescription->setText(ui->getDescription->text());
    ui->cngClas->setText(ui->getClas->text());
}

void Tcng::BitBtn2Click()
{
    // Everything is read before the first write: each write reloads the list and moves its row.
    const BookStatements::BookFields stored{ui->getTitle->text(), ui->getAuthor->text(),      ui->getYear->text(),
                                            ui->getSeria->text(), ui->getPublisher->text(),   ui->getPlace->text(),
                                            ui->getGenre->text(), ui->getDescription->text(), ui->getClas->text()};
    const QString id = ui->getId->text();
    const BookStatements::BookFields edited{ui->cngTitle->text(), ui->cngAuthor->text(),      ui->cngYear->text(),
                                            ui->cngSeria->text(), ui->cngPublisher->text(),   ui->cngPlace->text(),
                                            ui->cngGenre->text(), ui->cngDescription->text(), ui->cngClas->text()};
    for (const QString &sql : BookStatements::updateSqls(stored, edited, id))
        UpdateBookField(sql, id);
    RefreshClick();
    hide();
}

void Tcng::UpdateBookField(const QString &sql, const QString &id)
{
    LogSql(sql);
    FbQuery *query = mainApi()->IBQuery1();
    try {
        query->setSqlText(sql);
        query->execSQL();
    } catch (const std::exception &) {
        LogEvent(LangStr(QStringLiteral("cupder")));
        return;
    }
    LogEvent(LangStr(QStringLiteral("cbook")) + QStringLiteral(" № ") + id + QLatin1Char(' ') +
             LangStr(QStringLiteral("ccnged")));
    runGuarded([] { mainApi()->RefreshBooks(); });
}

void Tcng::BitBtn1Click()
{
    hide();
}

void Tcng::reject()
{
    BitBtn1Click();
}
