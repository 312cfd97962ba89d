// Helper process for the database tests:
//   insert PATH TITLE  inserts one book, prints "done", then waits to be killed;
//   hold PATH          attaches, prints "ready", then waits to be killed;
//   restore PATH FBK   restores the backup FBK into the new file PATH, prints "restored" or the error.
#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "FbServices.h"
#include "FbTransaction.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    if (args.at(1) == QLatin1String("restore")) {
        try {
            FbServices::restore(args.value(3), args.at(2), {QStringLiteral("SYSDBA"), {}}, {});
            std::printf("restored\n");
            std::fflush(stdout);
            std::_Exit(0); // the answer is out; the engine's own teardown is not under test

        } catch (const FbError &e) {
            std::printf("error %s\n", qPrintable(e.message()));
            std::fflush(stdout);
            std::_Exit(1);
        }
    }
    FbDatabase db;
    FbTransaction tr(&db);
    db.setDatabaseName(args.at(2));
    db.setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("lc_ctype=WIN1251")});
    try {
        db.open();
        if (args.at(1) == QLatin1String("insert")) {
            FbQuery q(&db);
            q.setSqlText(QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre)  VALUES ('%1', "
                                        "'A', '2001', 'P', 'G')")
                             .arg(args.value(3)));
            q.execSQL();
            std::printf("done\n");
        } else {
            std::printf("ready\n");
        }
        std::fflush(stdout);
    } catch (const FbError &e) {
        std::printf("error %s\n", qPrintable(e.message()));
        return 1;
    }
    for (;;)
        QThread::sleep(1);
}
