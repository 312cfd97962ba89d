#include "AppState.h"
#include "EventConsole.h"
#include "FileError.h"
#include "LogView.h"
#include "TextCodec.h"
#include "UserPrompts.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace
{
QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void putFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList memoLines(const QPlainTextEdit *memo)
{
    QStringList lines;
    for (QTextBlock block = memo->document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}
} // namespace

class TestConsole : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void lineFormat_data();
    void lineFormat();
    void loggingKeepsEveryLineAndShowsThemOnAttach();

    void writeLogFileBytes_data();
    void writeLogFileBytes();
    void saveReplacesAndLeavesOutTheLineThatReportsIt();
    void writeFailureThrows();
    void interruptedWriteLeavesTheOldFile();
    void readLogFile_data();
    void readLogFile();
    void readMissingFileThrows();

    void viewerWithoutFileShowsNothingAndLogsNothing();
    void viewerLoadsFileAndLogs();
    void viewerReportsUnreadableFileAndCloses();
    void viewerFitsTheScreenAndCannotBeResized();

private:
    QTemporaryDir m_dir;
};

void TestConsole::init()
{
    EventConsole::reset();
    EventConsole::attach(nullptr);
    UserPrompts::setAutoAnswer(true);
    UserPrompts::clearShownMessages();
    QVERIFY(m_dir.isValid());
    AppState::setBaseDirectory(m_dir.path() + QLatin1Char('/'));
    QFile::remove(m_dir.filePath(u"logfile.txt"_s));
    QDir(m_dir.path()).rmdir(u"logfile.txt"_s);
}

void TestConsole::lineFormat_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<bool>("sql");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QLocale ru(QLocale::Russian, QLocale::Russia);
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QDate day(2007, 3, 21);
    const QDateTime afternoon(day, QTime(14, 2, 11));
    const QDateTime midnight(day, QTime(0, 0));

    // clang-format off
    QTest::newRow("event") << ru << afternoon << false << "Work started" << "21.03.2007 14:02:11: Work started;";
    QTest::newRow("empty message") << ru << afternoon << false << "" << "21.03.2007 14:02:11: ;";
    QTest::newRow("message ending in ;") << ru << afternoon << false << "a;" << "21.03.2007 14:02:11: a;;";
    QTest::newRow("line breaks kept") << ru << afternoon << false << "one\rtwo\nthree"
                                      << "21.03.2007 14:02:11: one\rtwo\nthree;";
    QTest::newRow("cyrillic") << ru << afternoon << false << u"Работа начата"_s
                              << u"21.03.2007 14:02:11: Работа начата;"_s;
    QTest::newRow("midnight has no time") << ru << midnight << false << "x" << "21.03.2007: x;";
    QTest::newRow("just after midnight") << ru << midnight.addSecs(1) << false << "x" << "21.03.2007 00:00:01: x;";
    QTest::newRow("morning, two-digit hour") << ru << QDateTime(day, QTime(9, 5, 7)) << false << "x"
                                             << "21.03.2007 09:05:07: x;";
    QTest::newRow("us locale") << us << afternoon << false << "Work started" << "3/21/07 2:02:11 PM: Work started;";
    QTest::newRow("us midnight") << us << midnight << false << "x" << "3/21/07: x;";

    QTest::newRow("sql") << ru << afternoon << true << "SELECT * FROM book"
                         << "21.03.2007 14:02:11: {SQL} SELECT * FROM book";
    QTest::newRow("sql keeps its own ;") << ru << afternoon << true << "DELETE FROM book WHERE id=1;"
                                         << "21.03.2007 14:02:11: {SQL} DELETE FROM book WHERE id=1;";
    QTest::newRow("sql empty") << ru << afternoon << true << "" << "21.03.2007 14:02:11: {SQL} ";
    QTest::newRow("sql multi-line") << us << afternoon << true << "SELECT *\r\nFROM book\r\n"
                                    << "3/21/07 2:02:11 PM: {SQL} SELECT *\r\nFROM book\r\n";
    QTest::newRow("sql at midnight") << us << midnight << true << "SELECT 1" << "3/21/07: {SQL} SELECT 1";
    // clang-format on
}

void TestConsole::lineFormat()
{
    QFETCH(QLocale, locale);
    QFETCH(QDateTime, when);
    QFETCH(bool, sql);
    QFETCH(QString, text);
    QFETCH(QString, expected);

    QCOMPARE(sql ? EventConsole::sqlLine(when, text, locale) : EventConsole::eventLine(when, text, locale), expected);
}

void TestConsole::loggingKeepsEveryLineAndShowsThemOnAttach()
{
    const QDateTime before = QDateTime::currentDateTime();
    LogEvent(u"Work started"_s);
    LogSql(u"INSERT INTO book (title) VALUES ('a');"_s);
    const QDateTime after = QDateTime::currentDateTime();

    const QStringList early = EventConsole::lines();
    QCOMPARE(early.size(), 2);
    QVERIFY(early[0] == EventConsole::eventLine(before, u"Work started"_s) ||
            early[0] == EventConsole::eventLine(after, u"Work started"_s));
    QVERIFY(early[1].endsWith(u": {SQL} INSERT INTO book (title) VALUES ('a');"_s));
    QVERIFY(!early[1].endsWith(u";;"_s));

    QPlainTextEdit bar;
    EventConsole::attach(&bar);
    QCOMPARE(memoLines(&bar), early);
    // Attaching again shows the console once, not twice.
    EventConsole::attach(&bar);
    QCOMPARE(memoLines(&bar), early);

    LogEvent(u"first\rsecond"_s);
    QCOMPARE(EventConsole::lines().size(), 3);
    QVERIFY(EventConsole::lines().last().endsWith(u": first\rsecond;"_s));
    const QStringList shown = memoLines(&bar);
    QCOMPARE(shown.size(), 4);
    QVERIFY(shown[2].endsWith(u": first"_s));
    QCOMPARE(shown[3], u"second;"_s);

    // Many lines are all kept: the console is never trimmed.
    for (int i = 0; i < 5000; ++i)
        LogEvent(QString::number(i));
    QCOMPARE(EventConsole::lines().size(), 5003);
    QCOMPARE(bar.document()->blockCount(), 5004);
    // ... once: nothing of them is kept again for an undo.
    QVERIFY(!bar.document()->isUndoAvailable());
    QCOMPARE(bar.document()->availableUndoSteps(), 0);
    QVERIFY(EventConsole::lines().first().endsWith(u": Work started;"_s));
}

void TestConsole::writeLogFileBytes_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("none") << QStringList() << QByteArray();
    QTest::newRow("ascii") << QStringList{u"21.03.2007 14:02:11: Work started;"_s}
                           << QByteArray("21.03.2007 14:02:11: Work started;\r\n");
    QTest::newRow("cyrillic in cp1251") << QStringList{u"Лог ё Ґ"_s, u"b"_s}
                                        << QByteArray("\xcb\xee\xe3 \xb8 \xa5\r\nb\r\n");
    QTest::newRow("empty lines kept") << QStringList{u""_s, u"a"_s, u""_s} << QByteArray("\r\na\r\n\r\n");
    // A line holding breaks of its own is written with CR LF between its parts.
    QTest::newRow("inner breaks") << QStringList{u"a\rb\nc\r\nd"_s, u"x\r\n"_s}
                                  << QByteArray("a\r\nb\r\nc\r\nd\r\nx\r\n\r\n");
}

void TestConsole::writeLogFileBytes()
{
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, bytes);

    const QString path = m_dir.filePath(u"logfile.txt"_s);
    EventConsole::writeLogFile(path, lines);
    QCOMPARE(fileBytes(path), bytes);
}

void TestConsole::saveReplacesAndLeavesOutTheLineThatReportsIt()
{
    const QString path = m_dir.filePath(u"logfile.txt"_s);
    putFile(path, QByteArray(4000, 'z'));

    LogEvent(u"Work started"_s);
    LogSql(u"SELECT 1"_s);
    const QStringList saved = EventConsole::lines();
    EventConsole::writeLogFile(path, EventConsole::lines());
    LogEvent(u"Logfile has been saved"_s);

    QCOMPARE(EventConsole::readLogFile(path), saved);
    QCOMPARE(fileBytes(path), Win1251::encode(saved.join(u"\r\n"_s) + u"\r\n"_s));

    // A second save replaces the file with the longer console.
    EventConsole::writeLogFile(path, EventConsole::lines());
    QCOMPARE(EventConsole::readLogFile(path), EventConsole::lines());
    QCOMPARE(EventConsole::lines().size(), 3);
}

void TestConsole::writeFailureThrows()
{
    const QString path = m_dir.filePath(u"logfile.txt"_s);
    QVERIFY(QDir(m_dir.path()).mkdir(u"logfile.txt"_s));
    QVERIFY_THROWS_EXCEPTION(FileError, EventConsole::writeLogFile(path, {u"a"_s}));
    QVERIFY_THROWS_EXCEPTION(FileError,
                             EventConsole::writeLogFile(m_dir.filePath(u"no/such/dir/logfile.txt"_s), {u"a"_s}));
    try {
        EventConsole::writeLogFile(path, {u"a"_s});
    } catch (const FileError &e) {
        QVERIFY2(e.message().contains(path), qPrintable(e.message()));
    }
}

void TestConsole::interruptedWriteLeavesTheOldFile()
{
    const QString path = m_dir.filePath(u"logfile.txt"_s);
    EventConsole::writeLogFile(path, {u"the log of the last run"_s});
    const QByteArray old = [&path] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();

    // A disk that fills up in the middle of the save: writes beyond 4 KiB fail.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool threw = false;
    try {
        EventConsole::writeLogFile(path, QStringList(500, u"a line of the console that does not fit"_s));
    } catch (const FileError &) {
        threw = true;
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(threw);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), old);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"logfile.txt"_s});
}

void TestConsole::readLogFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("cr") << QByteArray("a\rb\r") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("lf") << QByteArray("a\nb\n") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("mixed") << QByteArray("a\r\nb\rc\nd") << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s};
    QTest::newRow("no final break") << QByteArray("a\r\nb") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("blank lines kept") << QByteArray("\r\na\r\n\r\n") << QStringList{u""_s, u"a"_s, u""_s};
    QTest::newRow("lf cr is two breaks") << QByteArray("a\n\rb") << QStringList{u"a"_s, u""_s, u"b"_s};
    QTest::newRow("cp1251") << QByteArray("\xcb\xee\xe3\r\n") << QStringList{u"Лог"_s};
}

void TestConsole::readLogFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);

    const QString path = m_dir.filePath(u"logfile.txt"_s);
    putFile(path, bytes);
    QCOMPARE(EventConsole::readLogFile(path), lines);
}

void TestConsole::readMissingFileThrows()
{
    QVERIFY_THROWS_EXCEPTION(FileError, EventConsole::readLogFile(m_dir.filePath(u"nothing.txt"_s)));
    QVERIFY(QDir(m_dir.path()).mkdir(u"logfile.txt"_s));
    QVERIFY_THROWS_EXCEPTION(FileError, EventConsole::readLogFile(m_dir.filePath(u"logfile.txt"_s)));
}

void TestConsole::viewerWithoutFileShowsNothingAndLogsNothing()
{
    TLogView view;
    view.showLog();
    QVERIFY(view.isVisible());
    QVERIFY(view.Memo1()->toPlainText().isEmpty());
    QVERIFY(EventConsole::lines().isEmpty());

    // Once the file is gone again the viewer keeps what it showed.
    const QString path = m_dir.filePath(u"logfile.txt"_s);
    putFile(path, "old\r\n");
    view.showLog();
    QCOMPARE(view.Memo1()->toPlainText(), u"old"_s);
    QVERIFY(QFile::remove(path));
    view.showLog();
    QCOMPARE(view.Memo1()->toPlainText(), u"old"_s);
    QCOMPARE(EventConsole::lines().size(), 1);
    QVERIFY(UserPrompts::shownMessages().isEmpty());
}

void TestConsole::viewerLoadsFileAndLogs()
{
    const QString path = m_dir.filePath(u"logfile.txt"_s);
    putFile(path, "21.03.2007 14:02:11: Work started;\r\n21.03.2007 14:02:12: {SQL} SELECT 1\n\xcb\xee\xe3\r");
    LogEvent(u"before"_s);

    TLogView view;
    view.Memo1()->setPlainText(u"stale"_s);
    view.showLog();
    QVERIFY(view.isVisible());
    QCOMPARE(memoLines(view.Memo1()), (QStringList{u"21.03.2007 14:02:11: Work started;"_s,
                                                   u"21.03.2007 14:02:12: {SQL} SELECT 1"_s, u"Лог"_s}));
    QVERIFY(view.Memo1()->isReadOnly());
    QCOMPARE(view.Memo1()->lineWrapMode(), QPlainTextEdit::NoWrap);

    QCOMPARE(EventConsole::lines().size(), 2);
    QVERIFY(EventConsole::lines().last().endsWith(u": Logfile loaded;"_s));
    // The viewer never writes the file.
    QCOMPARE(fileBytes(path),
             QByteArray("21.03.2007 14:02:11: Work started;\r\n21.03.2007 14:02:12: {SQL} SELECT 1\n\xcb\xee\xe3\r"));
}

void TestConsole::viewerReportsUnreadableFileAndCloses()
{
    QVERIFY(QDir(m_dir.path()).mkdir(u"logfile.txt"_s));

    TLogView view;
    view.showLog();
    QVERIFY(!view.isVisible());
    QCOMPARE(UserPrompts::shownMessages(),
             QStringList{u"Error! Logfile hasn't been loaded!\nОшибка! Лог-файл не загружен!"_s});
    QCOMPARE(EventConsole::lines().size(), 1);
    QVERIFY(EventConsole::lines().last().endsWith(u": Error! Logfile hasn't been loaded;"_s));
    QVERIFY(view.Memo1()->toPlainText().isEmpty());
}

void TestConsole::viewerFitsTheScreenAndCannotBeResized()
{
    TLogView view;
    QCOMPARE(view.windowTitle(), u"Logfile View"_s);
    QCOMPARE(view.minimumSize(), view.maximumSize());
    const QSize available = QGuiApplication::primaryScreen()->availableSize();
    QVERIFY(view.width() <= qMin(1266, available.width()));
    QVERIFY(view.height() <= qMin(926, available.height()));
    QVERIFY(!view.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!view.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
}

QTEST_MAIN(TestConsole)
#include "tst_console.moc"
