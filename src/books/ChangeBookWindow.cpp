#include "ChangeBookWindow.h"

#include "AppState.h"
#include "BookWrites.h"
#include "DialogKeys.h"
#include "EventConsole.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "NoWaitWrite.h"
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
    setEditedFields(m_loaded);
    emit bookLoaded(m_id);
}

void Tcng::setEditedFields(const BookStatements::BookFields &book)
{
    ui->cngTitle->setText(book.title);
    ui->cngAuthor->setText(book.author);
    ui->cngYear->setText(book.year);
    ui->cngSeria->setText(book.seria);
    ui->cngPublisher->setText(book.publisher);
    ui->cngPlace->setText(book.place);
    ui->cngGenre->setText(book.genre);
    ui->cngDescription->setText(book.description);
    ui->cngClas->setText(book.clas);
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
    if (!updates.isEmpty() && FbDatabase::isServerPath(mainApi()->IBDatabase1()->databaseName())) {
        if (saveOnServer(updates))
            finishSave();
        return;
    }
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
    finishSave();
}

void Tcng::finishSave()
{
    RefreshClick();
    hide();
}

bool Tcng::saveOnServer(const QVector<BookStatements::FieldUpdate> &updates)
{
    // All fields in one short transaction that never waits for another program's lock, and only
    // while the book still holds what the window loaded: nobody's change is overwritten unseen.
    try {
        NoWaitWrite write(mainApi()->IBDatabase1());
        if (write.exec(BookStatements::guardSql(m_loaded, m_id)) == 0) {
            LogEvent(LangStr(QStringLiteral("cupder")));
            showChangedMeanwhile();
            return false;
        }
        for (const BookStatements::FieldUpdate &update : updates) {
            LogSql(update.sql);
            write.exec(update.sql);
        }
        write.commit();
    } catch (const FbError &e) {
        LogEvent(LangStr(QStringLiteral("cupder")));
        UserPrompts::message(UserPrompts::Kind::Warning,
                             e.lockConflict() ? LangStr(QStringLiteral("cbklocked")) : e.message());
        return false;
    }
    for (const BookStatements::FieldUpdate &update : updates) {
        m_loaded.*update.field = update.value;
        LogEvent(LangStr(QStringLiteral("cbook")) + QStringLiteral(" № ") + m_id + QLatin1Char(' ') +
                 LangStr(QStringLiteral("ccnged")));
    }
    runGuarded([] { mainApi()->RefreshBooks(); });
    return true;
}

void Tcng::showChangedMeanwhile()
{
    FbQuery current(mainApi()->IBDatabase1());
    current.setSqlText(BookStatements::currentFieldsSql(m_id));
    current.open();
    if (current.isEmpty()) {
        UserPrompts::message(UserPrompts::Kind::Warning, LangStr(QStringLiteral("cbkgone")));
        return;
    }
    // What the book holds now becomes what the window compares with: a field the user did not
    // touch shows the other program's value, a typed one stays, and a second "Save" stores only
    // what was typed, on purpose.
    BookStatements::BookFields edited = editedFields();
    QStringList lines;
    int column = 0;
    for (const auto &[labelKey, field] : BookStatements::labelledFields()) {
        const QString now = FbQuery::displayText(current.value(0, column++));
        if (edited.*field == m_loaded.*field)
            edited.*field = now;
        m_loaded.*field = now;
        lines << LangStr(labelKey) + QStringLiteral(": ") + now;
    }
    setEditedFields(edited);
    UserPrompts::message(UserPrompts::Kind::Warning, LangStr(QStringLiteral("cbkchanged")).arg(lines.join(QLatin1Char('\r'))));
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
