#include "AppFixture.h"
#include "FbDatabase.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "MainWindow.h"
#include "TestLibrary.h"
#include "UserPrompts.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QtTest>

#include <atomic>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace
{

void execute(const QString &sql)
{
    FbQuery q(MainF->IBDatabase1());
    q.setSqlText(sql);
    q.execSQL();
}

void addBooks(int count)
{
    execute(QStringLiteral("EXECUTE BLOCK AS DECLARE i INTEGER = 0; BEGIN WHILE (i < %1) DO BEGIN "
                           "INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('Book ' || :i, "
                           "'Author ' || :i, '2001', 'Publisher', 'Genre'); i = i + 1; END END")
                .arg(count));
}

void trigger(const char *name)
{
    auto *action = MainF->findChild<QAction *>(QLatin1String(name));
    QVERIFY(action);
    action->trigger();
}

const auto fileBytes = TestLibrary::fileBytes;
const auto writeFile = TestLibrary::writeFile;

bool isLink(const QString &path)
{
    struct stat st {
    };
    return lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Another account in a folder everyone may write: plants a link to the user's file under a name
// again and again, as fast as it can, for as long as it lives.
class Planter
{
public:
    Planter(const QString &target, const QString &linkName)
        : m_target(QFile::encodeName(target)), m_link(QFile::encodeName(linkName)), m_thread([this] { run(); })
    {
    }
    ~Planter()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    void run()
    {
        while (!m_stop)
            symlink(m_target.constData(), m_link.constData());
    }
    QByteArray m_target;
    QByteArray m_link;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace

class TestBackupFiles : public QObject
{
    Q_OBJECT
private slots:
    void backupInAFolderOthersMayWrite();
    void cutBackupIsNoRestore();
};

void TestBackupFiles::backupInAFolderOthersMayWrite()
{
    AppFixture app;
    app.start();
    addBooks(500);
    const QString shared = app.path(QStringLiteral("shared"));
    QVERIFY(QDir().mkdir(shared));
    QCOMPARE(chmod(QFile::encodeName(shared).constData(), 0777), 0);
    const QString mine = app.path(QStringLiteral("thesis.txt"));
    writeFile(mine, "the user's own work\n");
    const QString backup = shared + QStringLiteral("/library.fbk");
    QVERIFY(QFile::link(mine, backup)); // a link at the final name too
    {
        Planter planter(mine, backup + QStringLiteral(".part"));
        UserPrompts::setNextFileName(backup);
        trigger("Backup1");
    }
    QCOMPARE(fileBytes(mine), QByteArray("the user's own work\n"));
    QVERIFY(!isLink(backup));
    QVERIFY(QFileInfo(backup).size() > 10000);
    QCOMPARE(AppFixture::consoleMessages().last(),
             QStringLiteral("Library backed up to the file %1, books: 500").arg(backup));
    // Nothing of the program's is left in the folder: the backup, and what the other account made.
    QCOMPARE(QDir(shared).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             QStringList({"library.fbk", "library.fbk.part"}));

    // The backup is whole: it restores every book.
    const QString restored = app.path(QStringLiteral("restored.gdb"));
    UserPrompts::setNextFileNames({backup, restored});
    UserPrompts::setNextAnswer(QMessageBox::No);
    trigger("Restore1");
    FbDatabase db;
    FbTransaction transaction(&db);
    db.setDatabaseName(restored);
    db.setParams(TestLibrary::defaultParams());
    QCOMPARE(TestLibrary::rows(db, QStringLiteral("SELECT count(*) FROM book")), QStringList{"500"});
}

void TestBackupFiles::cutBackupIsNoRestore()
{
    AppFixture app;
    app.start();
    addBooks(3000);
    const QString backup = app.path(QStringLiteral("library.fbk"));
    UserPrompts::setNextFileName(backup);
    trigger("Backup1");
    const QByteArray whole = fileBytes(backup);
    QVERIFY(whole.size() > 100000);
    writeFile(backup, whole.left(whole.size() / 3));

    const QString folder = app.path(QStringLiteral("new"));
    QVERIFY(QDir().mkdir(folder));
    const QString target = folder + QStringLiteral("/restored.gdb");
    UserPrompts::clearShownMessages();
    UserPrompts::setNextFileNames({backup, target});
    UserPrompts::setNextAnswer(QMessageBox::Yes);
    trigger("Restore1");
    QCOMPARE(AppFixture::consoleMessages().last(), QStringLiteral("Error! The library has not been restored"));
    // What the engine said is shown, and nothing is offered.
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QVERIFY2(UserPrompts::shownMessages().first().contains(QStringLiteral("Backup incomplete")),
             qPrintable(UserPrompts::shownMessages().first()));
    QVERIFY(QDir(folder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
    QVERIFY(QFileInfo(MainF->IBDatabase1()->databaseName()).absoluteFilePath() != target);
}

QTEST_MAIN(TestBackupFiles)
#include "tst_backupfiles.moc"
