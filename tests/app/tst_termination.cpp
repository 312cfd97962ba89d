// The real program, told to end by a signal, closes as when its main window is closed.
#include "LibrarySchema.h"

#include <QProcess>
#include <QtTest>

#include <csignal>

namespace
{

// The signals a process has handlers for, as /proc shows them (bit n - 1 for signal n).
quint64 caughtSignals(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return line.mid(7).trimmed().toULongLong(nullptr, 16);
    return 0;
}

} // namespace

class TestTermination : public QObject
{
    Q_OBJECT
private slots:
    void signalClosesLikeTheWindow_data();
    void signalClosesLikeTheWindow();
};

void TestTermination::signalClosesLikeTheWindow_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("boxWaiting");
    QTest::addColumn<bool>("firstRun");
    QTest::newRow("SIGTERM (kill)") << int(SIGTERM) << false << false;
    QTest::newRow("SIGINT (Ctrl+C)") << int(SIGINT) << false << false;
    QTest::newRow("SIGHUP (logout)") << int(SIGHUP) << false << false;
    // The library is open in another program, so the program waits in an error box.
    QTest::newRow("SIGTERM while a message box waits") << int(SIGTERM) << true << false;
    // No settings yet: start-up waits for the language to be chosen.
    QTest::newRow("SIGTERM while the first run waits") << int(SIGTERM) << false << true;
}

void TestTermination::signalClosesLikeTheWindow()
{
    QFETCH(int, signal);
    QFETCH(bool, boxWaiting);
    QFETCH(bool, firstRun);
    QTemporaryDir dir;
    const QString locks = dir.filePath(QStringLiteral("locks"));
    QVERIFY(QDir().mkdir(locks));
    LibrarySchema::create(dir.filePath(QStringLiteral("LIBRARY.GDB")));
    if (!firstRun) {
        QFile settings(dir.filePath(QStringLiteral(".settings")));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("Language=en\r\nAutolog=1\r\nShowconsole=1\r\nDeftab=books\r\n");
    }

    QProcess holder;
    if (boxWaiting) {
        QProcessEnvironment holderEnv = QProcessEnvironment::systemEnvironment();
        const QString holderLocks = dir.filePath(QStringLiteral("holder-locks"));
        QVERIFY(QDir().mkdir(holderLocks));
        holderEnv.insert(QStringLiteral("FIREBIRD_LOCK"), holderLocks);
        holder.setProcessEnvironment(holderEnv);
        holder.start(QStringLiteral(CHILD_PROCESS),
                     {QStringLiteral("hold"), dir.filePath(QStringLiteral("LIBRARY.GDB"))});
        QVERIFY(holder.waitForReadyRead(20000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("ready"));
    }
    auto stopHolder = qScopeGuard([&] {
        holder.kill();
        holder.waitForFinished();
    });

    QProcess program;
    program.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD_LOCK"), locks);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(BIBLIORA_BINARY), {});
    QVERIFY(program.waitForStarted());
    if (firstRun) {
        // Nothing opens the library before the language is chosen; wait for the program's own
        // handler of SIGHUP, which the engine does not catch.
        QTRY_VERIFY_WITH_TIMEOUT(caughtSignals(program.processId()) & 1, 30000);
    } else {
        // The engine's lock files appear once the program has tried to open the library.
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(locks).entryList(QDir::Files).isEmpty(), 30000);
    }

    QCOMPARE(::kill(static_cast<pid_t>(program.processId()), signal), 0);
    const bool ended = program.waitForFinished(10000);
    if (!ended) {
        program.kill();
        program.waitForFinished();
    }
    QVERIFY2(ended, "the program did not end within ten seconds");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);

    QFile log(dir.filePath(QStringLiteral("logfile.txt")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    QVERIFY(lines.size() >= 2);
    QVERIFY2(lines.at(lines.size() - 2).endsWith(": Work ending;\r"), lines.at(lines.size() - 2).constData());
    QCOMPARE(QFileInfo(dir.filePath(QStringLiteral(".dbconnection"))).size(), 406);
}

QTEST_GUILESS_MAIN(TestTermination)
#include "tst_termination.moc"
