#include "ChangeBookWindow.h"

#include "AppState.h"
#include "BookWrites.h"
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
    m_id = ui->getId->text();
    m_loaded = {ui->getTitle->text(), ui->getAuthor->text(),      ui->getYear->text(),
                ui->getSeria->text(), ui->getPublisher->text(),   ui->getPlace->text(),
                ui->getGenre->text(), ui->getDescription->text(), ui->getClas->text()};
    ui->cngTitle->setText(m_loaded.title);
    ui->cngAuthor->setText(m_loaded.author);
    ui->cngYear->setText(m_loaded.year);
    ui->cngSeria->setText(m_loaded.seria);
    ui->cngPublisher->setText(m_loaded.publisher);
    ui->cngPlace->setText(m_loaded.place);
    ui->cngGenre->setText(m_loaded.genre);
    ui->cngDescription->setText(m_loaded.description);
    ui->cngClas->setText(m_loaded.clas);
    emit bookLoaded(m_id);
}

BookStatements::BookFields Tcng::editedFields() const
{
    return {ui->cngTitle->text(), ui->cngAuthor->text(),      ui->cngYear->text(),
            ui->cngSeria->text(), ui->cngPublisher->text(),   ui->cngPlace->text(),
            ui->cngGenre->text(), ui->cngDescription->text(), ui->cngClas->text()};
}

void Tcng::BitBtn2Click()
{
    // Compared with and written to the book the window was loaded with: each write reloads the
    // list and moves its row, and the user may have moved it too.
    const QVector<BookStatements::FieldUpdate> updates = BookStatements::fieldUpdates(m_loaded, editedFields(), m_id);
    if (!updates.isEmpty() && m_id.isEmpty()) {
        UserPrompts::message(UserPrompts::Kind::Warning, LangStr(QStringLiteral("cnobook")));
        return;
    }
    // Every field is checked before the first statement, so a refusal never leaves half a change.
    QVector<std::pair<QString, QString>> values;
    for (const BookStatements::FieldUpdate &update : updates)
        values.append({update.labelKey, update.value});
    const QString refusal = BookWrites::unstorableMessage(values);
    if (!refusal.isEmpty()) {
        UserPrompts::message(UserPrompts::Kind::Warning, refusal);
        return;
    }
    if (m_saveGuard && !m_saveGuard())
        return;
    QStringList failed;
    for (const BookStatements::FieldUpdate &update : updates) {
        if (UpdateBookField(update.sql, m_id))
            m_loaded.*update.field = update.value; // a second "Save" leaves it alone
        else
            failed << LangStr(update.labelKey);
    }
    emit bookSaved(m_id);
    if (!failed.isEmpty()) {
        BookWrites::rerunListAfterFailure();
        UserPrompts::message(UserPrompts::Kind::Warning,
                             LangStr(QStringLiteral("cfldnupd")).arg(failed.join(QStringLiteral(", "))));
        return;
    }
    RefreshClick();
    hide();
}

bool Tcng::UpdateBookField(const QString &sql, const QString &id)
{
    LogSql(sql);
    FbQuery *query = mainApi()->IBQuery1();
    try {
        query->setSqlText(sql);
        query->execSQL();
    } catch (const std::exception &) {
        LogEvent(LangStr(QStringLiteral("cupder")));
        return false;
    }
    if (query->rowsAffected() == 0) { // the book was deleted meanwhile
        LogEvent(LangStr(QStringLiteral("cupder")));
        return false;
    }
    LogEvent(LangStr(QStringLiteral("cbook")) + QStringLiteral(" № ") + id + QLatin1Char(' ') +
             LangStr(QStringLiteral("ccnged")));
    runGuarded([] { mainApi()->RefreshBooks(); });
    return true;
}

void Tcng::BitBtn1Click()
{
    hide();
}

void Tcng::reject()
{
    BitBtn1Click();
}
