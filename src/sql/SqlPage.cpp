#include "SqlPage.h"

#include "ui_SqlPage.h"

#include "AppState.h"
#include "EventConsole.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "LangStr.h"
#include "SavedQueriesFile.h"
#include "SavedQueriesWindow.h"
#include "UserPrompts.h"

#include <QApplication>
#include <QStyle>

namespace
{
constexpr int kButtonPadding = 16;
constexpr char kSavepoint[] = "BIBLIORA_SQL_PAGE";

void runMark(FbQuery &mark, const char *statement)
{
    mark.setSqlText(QLatin1String(statement) + QLatin1Char(' ') + QLatin1String(kSavepoint));
    mark.execSQL();
}
} // namespace

const QList<SqlPage::BuilderButton> &SqlPage::builderButtons()
{
    static const QList<BuilderButton> buttons = {
        {"Button1", "SELECT "}, {"Button4", "FROM "},   {"Button7", "WHERE "},  {"Button9", "INTO "},
        {"Button12", "SET "},   {"Button13", "("},      {"Button14", ")"},      {"Button2", "INSERT "},
        {"Button3", "UPDATE "}, {"Button8", "DELETE "}, {"Button10", "VALUES"}, {"Button5", "book "},
        {"Button16", "'"},      {"Button15", ","},      {"Button11", " "},      {"Button17", "* "},
        {"Button6", " = "},
    };
    return buttons;
}

SqlPage::SqlPage(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::SqlPage>())
{
    ui->setupUi(this);
    ui->SqlOkBtn->hide();
    ui->SqlGoImg->setPixmap(QApplication::style()->standardIcon(QStyle::SP_MediaPlay).pixmap(22, 22));

    for (const BuilderButton &b : builderButtons()) {
        auto *button = findChild<QPushButton *>(QString::fromLatin1(b.name));
        // As narrow as the caption allows: the style's minimum width would push the page
        // wider than the main window.
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) + kButtonPadding);
        const QString text = QString::fromLatin1(b.text);
        connect(button, &QPushButton::clicked, this, [this, text] { append(text); });
    }
    const auto guarded = [this](void (SqlPage::*handler)()) {
        return [this, handler] { runGuarded([this, handler] { (this->*handler)(); }); };
    };
    connect(ui->SqlOkBtn, &QPushButton::clicked, this, guarded(&SqlPage::SqlOkBtnClick));
    connect(ui->SqlGoImg, &ClickableLabel::clicked, this, &SqlPage::SqlGoImgClick);
    // Enter runs the statement, as in any console.
    connect(ui->edSQL, &QLineEdit::returnPressed, this, &SqlPage::SqlGoImgClick);
    connect(ui->Button18, &QPushButton::clicked, this, &SqlPage::Button18Click);
    connect(ui->SQLSave, &QPushButton::clicked, this, guarded(&SqlPage::SQLSaveClick));
    connect(ui->SQLLoad, &QPushButton::clicked, this, guarded(&SqlPage::SQLLoadClick));
    connect(ui->SQLFields, &QListWidget::itemDoubleClicked, this, &SqlPage::SQLFieldsDblClick);
}

SqlPage::~SqlPage() = default;

QLineEdit *SqlPage::edSQL() const
{
    return ui->edSQL;
}

DBGridEh *SqlPage::DBGridEh3() const
{
    return ui->DBGridEh3;
}

void SqlPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    SQLShow();
}

void SqlPage::SQLShow()
{
    ui->edSQL->setFocus();
}

void SqlPage::append(const QString &text)
{
    ui->edSQL->setText(ui->edSQL->text() + text);
    ui->edSQL->setFocus();
}

void SqlPage::SQLFieldsDblClick()
{
    if (const QListWidgetItem *item = ui->SQLFields->currentItem())
        append(item->text());
}

void SqlPage::Button18Click()
{
    ui->edSQL->clear();
    ui->edSQL->setFocus();
}

void SqlPage::SqlGoImgClick()
{
    ui->SqlOkBtn->click();
}

void SqlPage::SqlOkBtnClick()
{
    FbQuery *query = mainApi()->IBQuery2();
    query->clearSql();
    const QString statement = ui->edSQL->text();
    query->setSqlText(statement);
    LogSql(statement);
    if (!checkBeforeRun())
        return;
    if (ui->rbRead->isChecked())
        query->open();
    else
        runWriting(query);
}

void SqlPage::runWriting(FbQuery *query)
{
    // Held back from the library until the user has seen how many rows it changes.
    FbBatch batch(query->transaction());
    FbQuery mark(query->database());
    runMark(mark, "SAVEPOINT");
    query->execSQL();
    const qint64 rows = query->rowsAffected();
    const bool keep = rows <= 1 || UserPrompts::message(UserPrompts::Kind::Question,
                                                        LangStr(QStringLiteral("csqlkeep")).arg(rows), QString(),
                                                        QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    runMark(mark, keep ? "RELEASE SAVEPOINT" : "ROLLBACK TO SAVEPOINT");
    batch.commit();
    if (!keep)
        LogEvent(LangStr(QStringLiteral("csqlundone")));
    else if (rows >= 0)
        LogEvent(LangStr(QStringLiteral("csqlchanged")) + QLatin1Char(' ') + QString::number(rows));
}

bool SqlPage::checkBeforeRun()
{
    MainWindowApi *api = mainApi();
    FbQuery *query = api->IBQuery2();
    // A parameter takes its value from the book list's current row, so it must name one of its columns.
    const FbQuery *books = api->IBQuery1();
    if (books->active()) {
        for (const QString &name : FbQuery::parameterNames(query->text())) {
            if (books->fieldIndex(name) < 0) {
                UserPrompts::showError(LangStr(QStringLiteral("csqlparam")).arg(name));
                return false;
            }
        }
    }
    // Run the wrong way, a statement would be executed without its rows or not at all.
    const bool reading = ui->rbRead->isChecked();
    if (query->returnsRows() != reading) {
        const QString key = reading ? QStringLiteral("csqlnorows") : QStringLiteral("csqlrows");
        const QString other = reading ? ui->rbWrite->text() : ui->rbRead->text();
        UserPrompts::showError(LangStr(key).arg(other));
        return false;
    }
    return true;
}

void SqlPage::SQLSaveClick()
{
    const QString statement = ui->edSQL->text();
    if (statement.isEmpty() || !sqlF)
        return;
    sqlF->appendAndWrite(statement, AppState::baseDirectory() + SavedQueriesFile::kFileName);
}

void SqlPage::SQLLoadClick()
{
    if (sqlF)
        sqlF->exec();
}
