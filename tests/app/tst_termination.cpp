// The real program, told to end by a signal, closes as when its main window is closed.
#include "LibrarySchema.h"

#include <QProcess>
#include <QtTest>

#include <csignal>

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
    QTest::newRow("SIGTERM (kill)") << int(SIGTERM);
    QTest::newRow("SIGINT (Ctrl+C)") << int(SIGINT);
    QTest::newRow("SIGHUP (logout)") << int(SIGHUP);
}

void TestTermination::signalClosesLikeTheWindow()
{
    QFETCH(int, signal);
    QTemporaryDir dir;
    const QString locks = dir.filePath(QStringLiteral("locks"));
    QVERIFY(QDir().mkdir(locks));
    LibrarySchema::create(dir.filePath(QStringLiteral("LIBRARY.GDB")));
    QFile settings(dir.filePath(QStringLiteral(".settings")));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("Language=en\r\nAutolog=1\r\nShowconsole=1\r\nDeftab=books\r\n");
    settings.close();

    QProcess program;
    program.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD_LOCK"), locks);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(BIBLIORA_BINARY), {});
    QVERIFY(program.waitForStarted());
    // The engine's lock files appear once the program has opened the library.
    QTRY_VERIFY_WITH_TIMEOUT(!QDir(locks).entryList(QDir::Files).isEmpty(), 30000);

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
