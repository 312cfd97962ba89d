#include "UnicodeConversion.h"

#include "AppState.h"
#include "BackupFile.h"
#include "DbWorker.h"
#include "EventConsole.h"
#include "FbDatabase.h"
#include "LangStr.h"
#include "NewFilePath.h"
#include "LibraryCharset.h"
#include "LibraryConversion.h"
#include "LibrarySchema.h"
#include "UserPrompts.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>

namespace {

QString suggestedName(const QString &library)
{
    const QFileInfo info(library);
    return info.absoluteDir().filePath(info.completeBaseName() + QStringLiteral("-unicode.gdb"));
}

struct Outcome {
    bool ok = false;
    bool stopped = false;
    QString message;
    QVariant result;
};

// Runs the copy on a worker whose attachment is the new library, with a progress window whose
// Cancel stops the statement in the engine; the window stays live meanwhile.
Outcome runConversion(QWidget *parent, const QString &newFile, FbDatabase &library)
{
    FbDatabase target;
    target.setDatabaseName(newFile);
    target.setParams(FbDatabase::withParam(library.sessionParams(), QStringLiteral("lc_ctype"), QStringLiteral("UTF8")));
    DbWorker worker(&target);
    QProgressDialog progress(LangStr(QStringLiteral("cconvwork")), LangStr(QStringLiteral("lcancel")), 0,
                             int(LibraryConversion::tables().size()), parent);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    QEventLoop loop;
    Outcome outcome;
    QObject::connect(&progress, &QProgressDialog::canceled, &worker, &DbWorker::stop);
    QObject::connect(&worker, &DbWorker::progress, &progress, [&progress](qint64 done, qint64, const QString &table) {
        progress.setValue(int(done));
        progress.setLabelText(LangStr(QStringLiteral("cconvwork")) + QLatin1Char('\n') + table);
    });
    QObject::connect(&worker, &DbWorker::finished, &loop, [&](const QVariant &result) {
        outcome = {true, false, {}, result};
        loop.quit();
    });
    QObject::connect(&worker, &DbWorker::failed, &loop, [&](const QString &message, bool stopped) {
        outcome = {false, stopped, message, {}};
        loop.quit();
    });
    const QString sourceName = library.databaseName();
    const QStringList sourceParams = library.sessionParams();
    worker.start([newFile, sourceName, sourceParams](DbWorker::Control &control) -> QVariant {
        // Made before the worker's attachment opens on it.
        LibrarySchema::create(newFile, true, true);
        QStringList lines;
        const auto counts = LibraryConversion::convert(
            control.database(), sourceName, sourceParams, [&control](int done, int total, const QString &table) {
                control.progress(done, total, table);
                return !control.stopRequested();
            });
        for (const LibraryConversion::Count &c : counts)
            lines << LangStr(QStringLiteral("cconvtable")).arg(c.table).arg(c.copied);
        return lines;
    });
    loop.exec();
    return outcome;
}

} // namespace

namespace UnicodeConversion {

void convertLibrary(QWidget *parent, const std::function<void(const QString &path)> &registerLibrary)
{
    FbDatabase *library = mainApi()->IBDatabase1();
    if (!library->connected())
        return;
    if (LibraryCharset::of(*library) == QLatin1String("UTF8")) {
        UserPrompts::message(UserPrompts::Kind::Information, LangStr(QStringLiteral("cconvalready")));
        return;
    }
    QString target = UserPrompts::saveFileName(parent, QLatin1String(NewFilePath::kLibraryFilter), LangStr(QStringLiteral("lconvnewf")),
                                               suggestedName(library->databaseName()));
    if (target.isEmpty())
        return;
    target = NewFilePath::complete(target, "gdb");
    // A new file only: never over the open library or any other file.
    if (NewFilePath::taken(target)) {
        UserPrompts::message(UserPrompts::Kind::Warning, LangStr(QStringLiteral("cconvexists")));
        return;
    }
    // Made in a private folder and moved to its name only once complete and checked.
    PrivateFolder folder(target);
    LogEvent(LangStr(QStringLiteral("cconvwork")));
    const Outcome outcome = runConversion(parent, folder.filePath(), *library);
    if (!outcome.ok) {
        const QString text = outcome.stopped ? LangStr(QStringLiteral("cconvstopped"))
                                             : LangStr(QStringLiteral("cconvfail")) + QLatin1Char(' ') + outcome.message;
        LogEvent(text);
        UserPrompts::message(outcome.stopped ? UserPrompts::Kind::Information : UserPrompts::Kind::Warning, text);
        return;
    }
    folder.moveIntoPlace(false);
    for (const QString &line : outcome.result.toStringList())
        LogEvent(line);
    LogEvent(LangStr(QStringLiteral("cconvdone")) + QLatin1Char(' ') + target);
    const auto answer = UserPrompts::message(UserPrompts::Kind::Question, LangStr(QStringLiteral("cconvask")),
                                             QString(), QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes && registerLibrary)
        registerLibrary(target);
}

} // namespace UnicodeConversion
