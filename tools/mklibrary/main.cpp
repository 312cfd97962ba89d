// mklibrary [--unicode] [--sample N] PATH: creates an empty library database at PATH, or with
// --sample one holding N plausible books and a few loans; --unicode makes it a UTF8 library.
#include "FbDatabase.h"
#include "FbError.h"
#include "FbTransaction.h"
#include "LibrarySchema.h"
#include "SampleLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace
{
constexpr int kMaxSampleBooks = 1000000;

int usage(QTextStream &err)
{
    err << "usage: mklibrary [--unicode] [--sample N] PATH\n";
    return 2;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QStringList args = app.arguments();
    const bool unicode = args.removeAll(QStringLiteral("--unicode")) > 0;
    int books = -1; // no sample: the empty library
    if (args.size() == 4 && args.at(1) == QLatin1String("--sample")) {
        bool ok = false;
        books = args.at(2).toInt(&ok);
        if (!ok || books < 0 || books > kMaxSampleBooks)
            return usage(err);
    } else if (args.size() != 2) {
        return usage(err);
    }
    const QString path = args.last();
    // A local library's folder is made when missing; the engine would only say it cannot open the file.
    if (!FbDatabase::isServerPath(path)) {
        const QString folder = QFileInfo(path).absolutePath();
        if (!QDir().mkpath(folder)) {
            err << "mklibrary: cannot create the folder " << folder << "\n";
            return 1;
        }
    }
    try {
        LibrarySchema::create(path, true, unicode);
        if (books >= 0) {
            FbDatabase db;
            FbTransaction transaction(&db);
            db.setDatabaseName(path);
            db.setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("lc_ctype=") + LibrarySchema::lcCtypeFor(unicode)});
            db.open();
            SampleLibrary::fill(db, books);
            db.close();
            QTextStream(stdout) << path << ": " << books << " books, " << SampleLibrary::loanCount(books)
                                << " of them lent\n";
        }
    } catch (const FbError &e) {
        err << "mklibrary: " << e.message() << "\n";
        return 1;
    }
    return 0;
}
