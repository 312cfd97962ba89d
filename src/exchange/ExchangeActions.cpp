#include "ExchangeActions.h"

#include "AppState.h"
#include "BackupFile.h"
#include "CsvExport.h"
#include "DbWorker.h"
#include "EventConsole.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "FbServices.h"
#include "FbTransaction.h"
#include "FileError.h"
#include "ImportBooksWindow.h"
#include "LangStr.h"
#include "LoanRecords.h"
#include "NewFilePath.h"
#include "StyleIcon.h"
#include "UnicodeConversion.h"
#include "UserPrompts.h"
#include "WorkerProgress.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QPointer>
#include <QProgressDialog>
#include <QStyle>

namespace
{

const char *const kAllBooksSql = "SELECT * FROM book ORDER BY id";
const char *const kAllLoansSql = "SELECT given.given_id, book.title, given.given_to, given.given_date FROM given, "
                                 "book WHERE given.given_id = book.id ORDER BY given.given_date";
const char *const kBookCountSql = "SELECT count(*) FROM book";
const char *const kCsvFilter = "CSV (*.csv)";
const char *const kBackupFilter = "Firebird backup (*.fbk)";

// A local library by its absolute path, since the services manager does not share our directory.
QString libraryPath(const FbDatabase *database)
{
    const QString name = database->databaseName();
    return FbDatabase::isServerPath(name) ? name : QFileInfo(name).absoluteFilePath();
}

FbServices::Login login(const FbDatabase *database)
{
    return {database->paramValue(QStringLiteral("user_name")), database->paramValue(QStringLiteral("password"))};
}

// A progress window with Cancel for work whose length is not known beforehand.
class BusyProgress
{
public:
    BusyProgress(QWidget *parent, const QString &text)
        : m_dialog(text, LangStr(QStringLiteral("lcancel")), 0, 0, parent)
    {
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setMinimumDuration(300);
        m_dialog.setValue(0);
        m_text = text;
    }
    // Shows a line of progress; false once the user has cancelled.
    bool step(const QString &detail)
    {
        m_dialog.setLabelText(m_text + QLatin1Char('\n') + detail);
        QApplication::processEvents();
        return !m_dialog.wasCanceled();
    }

private:
    QProgressDialog m_dialog;
    QString m_text;
};

void exportStatement(QWidget *parent, const QString &statement, const QString &suggested)
{
    QString path =
        UserPrompts::saveFileName(parent, QLatin1String(kCsvFilter), LangStr(QStringLiteral("lexpcap")), suggested);
    if (path.isEmpty())
        return;
    path = NewFilePath::complete(path, "csv");
    FbQuery query(mainApi()->IBDatabase1());
    query.setSqlText(statement);
    BusyProgress progress(parent, LangStr(QStringLiteral("cexpwork")));
    const int rows =
        CsvExport::writeQuery(query, path, [&progress](int done) { return progress.step(QString::number(done)); });
    if (rows < 0)
        LogEvent(LangStr(QStringLiteral("cexpcancel")));
    else
        LogEvent(LangStr(QStringLiteral("cexported")) + QLatin1Char(' ') + path + QLatin1String(": ") +
                 QString::number(rows));
}

int bookCount(FbDatabase *database)
{
    FbQuery count(database);
    count.setSqlText(QLatin1String(kBookCountSql));
    count.open();
    return count.value(0, 0).toInt();
}

// A restored library opens and its books can be read; throws FbError.
void checkRestored(const QString &path, const FbServices::Login &user)
{
    FbDatabase restored;
    FbTransaction transaction(&restored);
    restored.setDatabaseName(path);
    restored.setLoginPrompt(false);
    const QString name = user.userName.isEmpty() ? QStringLiteral("SYSDBA") : user.userName;
    restored.setParams({QStringLiteral("user_name=") + name, QStringLiteral("lc_ctype=WIN1251")});
    bookCount(&restored);
    restored.close();
}

QPointer<ImportBooksWindow> &importWindowInstance()
{
    static QPointer<ImportBooksWindow> window;
    return window;
}

void addAction(QMenu *menu, const char *name, QStyle::StandardPixmap icon, const QString &text,
               const std::function<void()> &body)
{
    auto *action = new QAction(lazyStandardIcon(icon), text, menu);
    action->setObjectName(QString::fromLatin1(name));
    QObject::connect(action, &QAction::triggered, menu, [body] { runGuarded(body); });
    menu->addAction(action);
}

} // namespace

void ExchangeActions::install(QMenu *library, QMenu *database, QWidget *parent, const RegisterLibrary &registerLibrary)
{
    library->addSeparator();
    addAction(library, "ExportBooks1", QStyle::SP_DialogSaveButton, LangStr(QStringLiteral("lexpbooks")),
              [parent] { exportBookList(parent); });
    addAction(library, "ExportAllBooks1", QStyle::SP_DialogSaveButton, LangStr(QStringLiteral("lexpall")),
              [parent] { exportAllBooks(parent); });
    addAction(library, "ExportGiven1", QStyle::SP_DialogSaveButton, LangStr(QStringLiteral("lexpgiven")),
              [parent] { exportLoans(parent); });
    addAction(library, "ExportHistory1", QStyle::SP_DialogSaveButton, LangStr(QStringLiteral("lexphist")),
              [parent] { exportLoanHistory(parent); });
    addAction(library, "ImportBooks1", QStyle::SP_DialogOpenButton, LangStr(QStringLiteral("limpbooks")),
              [parent] { importBooks(parent); });
    database->addSeparator();
    addAction(database, "Backup1", QStyle::SP_DriveHDIcon, LangStr(QStringLiteral("lbackup")),
              [parent] { backupLibrary(parent); });
    addAction(database, "Restore1", QStyle::SP_BrowserReload, LangStr(QStringLiteral("lrestore")),
              [parent, registerLibrary] { restoreLibrary(parent, registerLibrary); });
    addAction(database, "ConvertUnicode1", QStyle::SP_FileDialogNewFolder, LangStr(QStringLiteral("lconvuni")),
              [parent, registerLibrary] { UnicodeConversion::convertLibrary(parent, registerLibrary); });
}

void ExchangeActions::exportBookList(QWidget *parent)
{
    // The list's own statement carries its search and ordering; a list that is not open (its last
    // statement failed, or it was never loaded) is exported as it would be reloaded.
    const FbQuery *list = mainApi()->IBQuery1();
    exportStatement(parent, list->active() ? list->text() : mainApi()->CurrentBookSql(), QStringLiteral("books.csv"));
}

void ExchangeActions::exportAllBooks(QWidget *parent)
{
    exportStatement(parent, QLatin1String(kAllBooksSql), QStringLiteral("books.csv"));
}

void ExchangeActions::exportLoans(QWidget *parent)
{
    const FbQuery *list = mainApi()->IBQuery5();
    exportStatement(parent, list->active() ? list->text() : QLatin1String(kAllLoansSql), QStringLiteral("given.csv"));
}

void ExchangeActions::exportLoanHistory(QWidget *parent)
{
    exportStatement(parent, LoanRecords::historyStatement(), QStringLiteral("history.csv"));
}

ImportBooksWindow *ExchangeActions::importWindow(QWidget *parent)
{
    QPointer<ImportBooksWindow> &window = importWindowInstance();
    if (!window)
        window = new ImportBooksWindow(parent);
    return window;
}

void ExchangeActions::importBooks(QWidget *parent)
{
    const QString path =
        UserPrompts::openFileName(parent, QStringLiteral("CSV (*.csv *.txt);;*"), LangStr(QStringLiteral("limpcap")));
    if (path.isEmpty())
        return;
    ImportBooksWindow *window = importWindow(parent);
    window->loadFile(path);
    window->show();
    window->raise();
}

void ExchangeActions::backupLibrary(QWidget *parent)
{
    QString path = UserPrompts::saveFileName(parent, QLatin1String(kBackupFilter), LangStr(QStringLiteral("lbackup")),
                                             QStringLiteral("library.fbk"));
    if (path.isEmpty())
        return;
    path = NewFilePath::complete(path, "fbk");
    FbDatabase *database = mainApi()->IBDatabase1();
    DbWorker worker(database);
    const WorkerProgress::Outcome outcome = WorkerProgress::run(
        parent, worker, LangStr(QStringLiteral("cbackupwork")), 0,
        [path, library = libraryPath(database), user = login(database)](DbWorker::Control &control) -> QVariant {
            const int books = bookCount(&control.database());
            // The engine sends the backup to the program (also from a server, whose disk is not
            // ours), which writes it itself; an old backup under the name is replaced only by a whole one.
            BackupFile file(path);
            FbServices::backupToClient(library, user, [&file, &control](const char *data, int size) {
                if (control.stopRequested())
                    WorkerProgress::throwStopped();
                file.write(data, size);
                control.progress(file.written(), 0, QLocale().formattedDataSize(file.written()));
            });
            file.commit();
            return books;
        });
    if (!outcome.ok) {
        LogEvent(LangStr(outcome.stopped ? QStringLiteral("cbackupstopped") : QStringLiteral("cbackupfail")));
        WorkerProgress::rethrowFailure(worker, outcome);
        return;
    }
    LogEvent(LangStr(QStringLiteral("cbackup")) + QLatin1Char(' ') + path + QLatin1String(", ") +
             LangStr(QStringLiteral("cbackupbooks")) + QLatin1Char(' ') + QString::number(outcome.result.toInt()));
}

void ExchangeActions::restoreLibrary(QWidget *parent, const RegisterLibrary &registerLibrary)
{
    const QString backup = UserPrompts::openFileName(parent, QStringLiteral("Firebird backup (*.fbk);;*"),
                                                     LangStr(QStringLiteral("lrestore")));
    if (backup.isEmpty())
        return;
    QString target = UserPrompts::saveFileName(parent, QLatin1String(NewFilePath::kLibraryFilter), LangStr(QStringLiteral("lrestnewf")),
                                               QStringLiteral("restored.gdb"));
    if (target.isEmpty())
        return;
    target = NewFilePath::complete(target, "gdb");
    // Never over a library: neither the open one nor any other file.
    if (NewFilePath::taken(target)) {
        UserPrompts::message(UserPrompts::Kind::Warning, LangStr(QStringLiteral("crestexists")));
        return;
    }
    DbWorker worker;
    const WorkerProgress::Outcome outcome = WorkerProgress::run(
        parent, worker, LangStr(QStringLiteral("crestwork")), 0,
        [backup = QFileInfo(backup).absoluteFilePath(), target,
         user = login(mainApi()->IBDatabase1())](DbWorker::Control &control) -> QVariant {
            // Made in a private folder and moved to the name only once it has been restored whole
            // and opens as a library; a failure leaves nothing behind.
            PrivateFolder folder(target);
            FbServices::restore(backup, folder.filePath(), user, [&control](const QString &line) {
                if (control.stopRequested())
                    WorkerProgress::throwStopped();
                control.progress(0, 0, line);
            });
            checkRestored(folder.filePath(), user);
            folder.moveIntoPlace(false);
            return {};
        });
    if (!outcome.ok) {
        LogEvent(LangStr(outcome.stopped ? QStringLiteral("creststopped") : QStringLiteral("crestfail")));
        WorkerProgress::rethrowFailure(worker, outcome);
        return;
    }
    LogEvent(LangStr(QStringLiteral("crestored")) + QLatin1Char(' ') + target);
    const auto answer = UserPrompts::message(UserPrompts::Kind::Question, LangStr(QStringLiteral("crestask")),
                                             QString(), QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes && registerLibrary)
        registerLibrary(target);
}
