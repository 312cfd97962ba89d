#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "FbServices.h"
#include "FbTransaction.h"
#include "TestLibrary.h"

#include <QFile>
#include <QtTest>

#include <ibase.h>

namespace
{

QByteArray bytes(std::initializer_list<char> items)
{
    return QByteArray(items.begin(), static_cast<qsizetype>(items.size()));
}

const FbServices::Login kLogin{QStringLiteral("SYSDBA"), QStringLiteral("quietlamp")};

struct Connection {
    FbDatabase db;
    FbTransaction tr{&db};
    explicit Connection(const QString &path)
    {
        db.setDatabaseName(path);
        db.setParams(TestLibrary::defaultParams());
    }
    void exec(const QString &sql)
    {
        FbQuery q(&db);
        q.setSqlText(sql);
        q.execSQL();
    }
    void addBook(const QString &title)
    {
        exec(QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('%1', 'A', '2001', "
                            "'P', 'G')")
                 .arg(title));
    }
    QStringList titles()
    {
        FbQuery q(&db);
        q.setSqlText(QStringLiteral("SELECT title FROM book ORDER BY title"));
        q.open();
        q.fetchAll();
        QStringList result;
        for (int r = 0; r < q.fetchedCount(); ++r)
            result << q.value(r, 0).toString();
        return result;
    }
};

// What a second program sees: only work that was committed.
QStringList committedTitles(const QString &path)
{
    Connection other(path);
    return other.titles();
}

} // namespace

class TestFbServices : public QObject
{
    Q_OBJECT
private slots:
    void serverNames_data();
    void serverNames();
    void transactionParameters();
    void batchCommitsTogether();
    void batchRollsBackWhole();
    void batchCutShortByDisconnectIsUndone();
    void backupWhileConnectedRestoresSameBooks();
    void restoreNeverReplacesAFile();
    void restoreOfNoBackupFails();
};

void TestFbServices::serverNames_data()
{
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("service");
    QTest::addColumn<QString>("path");
    QTest::newRow("file") << "/home/ann/LIBRARY.GDB"
                          << "service_mgr"
                          << "/home/ann/LIBRARY.GDB";
    QTest::newRow("relative") << "LIBRARY.GDB"
                              << "service_mgr"
                              << "LIBRARY.GDB";
    QTest::newRow("host") << "books.lan:/srv/lib.gdb"
                          << "books.lan:service_mgr"
                          << "/srv/lib.gdb";
    QTest::newRow("host and port") << "127.0.0.1/3051:/srv/lib.gdb"
                                   << "127.0.0.1/3051:service_mgr"
                                   << "/srv/lib.gdb";
    QTest::newRow("alias on server") << "nas:library"
                                     << "nas:service_mgr"
                                     << "library";
}

void TestFbServices::serverNames()
{
    QFETCH(QString, database);
    QFETCH(QString, service);
    QFETCH(QString, path);
    QCOMPARE(FbServices::serviceName(database), service);
    QCOMPARE(FbServices::pathOnServer(database), path);
}

void TestFbServices::transactionParameters()
{
    // Every library reads committed record versions and waits a few seconds for a lock instead of
    // failing or waiting for ever, so that a worker's own attachment can write beside the lists.
    QCOMPARE(FbTransaction::parameterBlock(),
             bytes({isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_wait,
                    isc_tpb_lock_timeout, 1, FbTransaction::kLockTimeout}));
}

void TestFbServices::batchCommitsTogether()
{
    TestLibrary lib;
    Connection c(lib.path());
    {
        FbBatch batch(&c.tr);
        c.addBook(QStringLiteral("One"));
        c.addBook(QStringLiteral("Two"));
        QCOMPARE(c.titles(), QStringList({"One", "Two"}));
        batch.commit();
    }
    c.addBook(QStringLiteral("Three"));
    QCOMPARE(c.titles(), QStringList({"One", "Three", "Two"}));
    c.db.close();
    QCOMPARE(committedTitles(lib.path()), QStringList({"One", "Three", "Two"}));
}

void TestFbServices::batchRollsBackWhole()
{
    TestLibrary lib;
    Connection c(lib.path());
    c.addBook(QStringLiteral("Before"));
    try {
        FbBatch batch(&c.tr);
        c.addBook(QStringLiteral("One"));
        c.exec(QStringLiteral("INSERT INTO book (title) VALUES ('No author')"));
        batch.commit();
        QFAIL("the insert without obligatory fields was accepted");
    } catch (const FbError &) {
    }
    QCOMPARE(c.titles(), QStringList({"Before"}));
    // After the batch every statement is durable at once again.
    c.addBook(QStringLiteral("After"));
    c.db.close();
    QCOMPARE(committedTitles(lib.path()), QStringList({"After", "Before"}));
}

void TestFbServices::batchCutShortByDisconnectIsUndone()
{
    TestLibrary lib;
    Connection c(lib.path());
    c.addBook(QStringLiteral("Before"));
    {
        FbBatch batch(&c.tr);
        c.addBook(QStringLiteral("One"));
        c.db.close(); // closing normally commits: not a batch that never finished
    }
    QCOMPARE(committedTitles(lib.path()), QStringList({"Before"}));
}

void TestFbServices::backupWhileConnectedRestoresSameBooks()
{
    TestLibrary lib;
    Connection c(lib.path());
    c.addBook(QStringLiteral("Dune"));
    c.addBook(QStringLiteral("Emma"));
    const QString backupFile = lib.dir() + QStringLiteral("/library.fbk");
    QStringList lines;
    FbServices::backup(lib.path(), backupFile, kLogin, [&lines](const QString &line) { lines << line; });
    QVERIFY(c.db.connected());
    QVERIFY(QFileInfo(backupFile).size() > 0);
    QVERIFY2(lines.size() > 5, qPrintable(lines.join('\n')));

    const QString restored = lib.dir() + QStringLiteral("/restored.gdb");
    lines.clear();
    FbServices::restore(backupFile, restored, kLogin, [&lines](const QString &line) { lines << line; });
    QVERIFY(!lines.isEmpty());
    QCOMPARE(committedTitles(restored), QStringList({"Dune", "Emma"}));
    Connection r(restored);
    r.addBook(QStringLiteral("Faust")); // the restored library assigns ids by itself
    QCOMPARE(r.titles(), QStringList({"Dune", "Emma", "Faust"}));
}

void TestFbServices::restoreNeverReplacesAFile()
{
    TestLibrary lib;
    Connection c(lib.path());
    c.addBook(QStringLiteral("Dune"));
    const QString backupFile = lib.dir() + QStringLiteral("/library.fbk");
    FbServices::backup(lib.path(), backupFile, kLogin, {});
    c.db.close();

    TestLibrary other;
    Connection o(other.path());
    o.addBook(QStringLiteral("Kept"));
    o.db.close();
    QVERIFY_THROWS_EXCEPTION(FbError, FbServices::restore(backupFile, other.path(), kLogin, {}));
    QCOMPARE(committedTitles(other.path()), QStringList({"Kept"}));
}

void TestFbServices::restoreOfNoBackupFails()
{
    TestLibrary lib;
    const QString notBackup = lib.dir() + QStringLiteral("/notes.fbk");
    QFile f(notBackup);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("not a backup at all\n");
    f.close();
    const QString target = lib.dir() + QStringLiteral("/new.gdb");
    QVERIFY_THROWS_EXCEPTION(FbError, FbServices::restore(notBackup, target, kLogin, {}));
    QVERIFY(!QFile::exists(target));
}

QTEST_GUILESS_MAIN(TestFbServices)
#include "tst_fbservices.moc"
