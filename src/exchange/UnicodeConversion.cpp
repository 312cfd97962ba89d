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
#include "WorkerProgress.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString suggestedName(const QString &library)
{
    const QFileInfo info(library);
    return info.absoluteDir().filePath(info.completeBaseName() + QStringLiteral("-unicode.gdb"));
}

// Runs the copy on a worker whose attachment is the new library; Cancel stops the statement in
// the engine.
WorkerProgress::Outcome runConversion(QWidget *parent, const QString &newFile, FbDatabase &library)
{
    FbDatabase target;
    target.setDatabaseName(newFile);
    target.setParams(FbDatabase::withParam(library.sessionParams(), QStringLiteral("lc_ctype"), QStringLiteral("UTF8")));
    DbWorker worker(&target);
    const QString sourceName = library.databaseName();
    const QStringList sourceParams = library.sessionParams();
    return WorkerProgress::run(parent, worker, LangStr(QStringLiteral("cconvwork")),
                               int(LibraryConversion::tables().size()),
                               [newFile, sourceName, sourceParams](DbWorker::Control &control) -> QVariant {
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
    const WorkerProgress::Outcome outcome = runConversion(parent, folder.filePath(), *library);
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
