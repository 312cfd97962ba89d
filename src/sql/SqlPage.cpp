#include "SqlPage.h"

#include "ui_SqlPage.h"

#include "AppState.h"
#include "EventConsole.h"
#include "FbQuery.h"
#include "DbWorker.h"
#include "FbError.h"
#include "LangStr.h"
#include "SavedQueriesFile.h"
#include "SavedQueriesWindow.h"
#include "StyleIcon.h"
#include "UserPrompts.h"
#include "WorkerProgress.h"

#include <QApplication>
#include <QPointer>

#include <future>
#include <memory>
#include <QStyle>

namespace
{
constexpr int kButtonPadding = 16;
constexpr int kExecuteButtonPadding = 24;

// A change of several rows the user chose not to keep: the job ends by undoing it.
struct NotKept : std::runtime_error {
    static constexpr char kText[] = "\x01not kept";
    NotKept() : std::runtime_error(kText) {}
};
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
    showStandardPixmapWhenShown(ui->SqlGoImg, QStyle::SP_MediaPlay, 22);

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

    connect(ui->SqlStopBtn, &QPushButton::clicked, this, &SqlPage::SqlStopBtnClick);
    // A caption changed by a language switch asks the group for a new layout: refit then.
    ui->GroupBox8->installEventFilter(this);
    fitExecuteButtons();
}

void SqlPage::fitExecuteButtons()
{
    for (QPushButton *button : {ui->Button18, ui->SQLSave, ui->SQLLoad, ui->SqlStopBtn})
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(button->text()) + kExecuteButtonPadding);
}

bool SqlPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->GroupBox8 && event->type() == QEvent::LayoutRequest)
        fitExecuteButtons();
    return QWidget::eventFilter(watched, event);
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

DbWorker *SqlPage::worker()
{
    // Made on first use: the main window's connection exists only once the page does.
    if (m_worker)
        return m_worker;
    m_worker = new DbWorker(mainApi()->IBDatabase1(), this);
    connect(m_worker, &DbWorker::failed, this, &SqlPage::workEnded);
    connect(m_worker, &DbWorker::finished, this, [this](const QVariant &result) {
        setRunning(false);
        runGuarded([&result] {
            if (result.typeId() == QMetaType::Bool)
                mainApi()->IBQuery2()->finishOpen(true, result.toBool());
            else if (result.toLongLong() >= 0)
                LogEvent(LangStr(QStringLiteral("csqlchanged")) + QLatin1Char(' ') +
                         QString::number(result.toLongLong()));
        });
        if (result.typeId() != QMetaType::Bool)
            emit changesStored();
    });
    return m_worker;
}

void SqlPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Captions may have changed by a language switch while the page was hidden.
    fitExecuteButtons();
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
    if (worker()->running())
        return;
    FbQuery *query = mainApi()->IBQuery2();
    query->clearSql();
    const QString statement = ui->edSQL->text();
    query->setSqlText(statement);
    LogSql(statement);
    if (!checkBeforeRun())
        return;
    if (ui->rbRead->isChecked())
        runReading(query);
    else
        runWriting(statement);
}

void SqlPage::runReading(FbQuery *query)
{
    query->prepareOpen();
    setRunning(true);
    // The statement runs once, on the window's own attachment: the wait for its first row is
    // spent off the window's thread, and Stop cancels it in the engine.
    worker()->start(WorkerProgress::executeOpenJob(query));
}

void SqlPage::runWriting(const QString &statement)
{
    setRunning(true);
    QPointer<SqlPage> page(this);
    worker()->start([statement, page](DbWorker::Control &control) {
        FbQuery query(&control.database());
        query.setSqlText(statement);
        query.execSQL(); // held back: the worker's work is made durable when the job ends
        const qint64 rows = query.rowsAffected();
        if (rows > 1) {
            // The user answers on the window's thread; the statement's work waits in the transaction.
            auto answer = std::make_shared<std::promise<bool>>();
            std::future<bool> kept = answer->get_future();
            QMetaObject::invokeMethod(
                qApp, [page, rows, answer] { answer->set_value(page && page->keepChange(rows)); },
                Qt::QueuedConnection);
            while (kept.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
                if (control.stopRequested())
                    throw FbError(LangStr(QStringLiteral("csqlstopped")));
            if (!kept.get())
                throw NotKept();
        }
        return QVariant(rows);
    });
}

bool SqlPage::keepChange(qint64 rows)
{
    return UserPrompts::message(UserPrompts::Kind::Question, LangStr(QStringLiteral("csqlkeep")).arg(rows), QString(),
                                QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void SqlPage::setRunning(bool running)
{
    ui->SqlStopBtn->setText(LangStr(QStringLiteral("lsqlstop")));
    ui->SqlStopBtn->setVisible(running);
    ui->SqlOkBtn->setEnabled(!running);
    ui->SqlGoImg->setEnabled(!running);
}

void SqlPage::SqlStopBtnClick()
{
    worker()->stop();
}

void SqlPage::workEnded(const QString &message, bool stopped)
{
    setRunning(false);
    mainApi()->IBQuery2()->finishOpen(false, false); // a reading left half open is let go
    if (stopped)
        LogEvent(LangStr(QStringLiteral("csqlstopped")));
    else if (message == QLatin1String(NotKept::kText))
        LogEvent(LangStr(QStringLiteral("csqlundone")));
    else
        UserPrompts::showError(message);
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
