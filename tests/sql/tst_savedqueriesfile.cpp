#include "FileError.h"
#include "SavedQueriesFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestSavedQueriesFile : public QObject
{
    Q_OBJECT

private slots:
    void encode_data();
    void encode();
    void decode_data();
    void decode();
    void refusesWhatIsNoList_data();
    void refusesWhatIsNoList();
    void unencodableStatementLeavesTheFileAsItWas();
    void keepCopyTakesAFreeName();

private:
    static QByteArray readAll(const QString &path);
    static void writeBytes(const QString &path, const QByteArray &bytes);
};

QByteArray TestSavedQueriesFile::readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void TestSavedQueriesFile::writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void TestSavedQueriesFile::encode_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty list, empty file") << QStringList() << QByteArray();
    QTest::newRow("last line ended too") << QStringList{u"select * from book"_s}
                                         << QByteArray("select * from book\r\n");
    QTest::newRow("empty line kept") << QStringList{u"a"_s, u""_s, u"b"_s} << QByteArray("a\r\n\r\nb\r\n");
    QTest::newRow("blanks kept") << QStringList{u"SELECT * FROM book "_s} << QByteArray("SELECT * FROM book \r\n");
    QTest::newRow("Cyrillic in Windows-1251")
        << QStringList{u"select * from book where author = 'Гоголь'"_s}
        << QByteArray("select * from book where author = '\xc3\xee\xe3\xee\xeb\xfc'\r\n");
}

void TestSavedQueriesFile::encode()
{
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, bytes);
    QCOMPARE(SavedQueriesFile::encode(lines), bytes);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"sql.txt"_s);
    SavedQueriesFile::write(path, lines);
    QCOMPARE(readAll(path), bytes);
    QCOMPARE(SavedQueriesFile::read(path), lines);
}

void TestSavedQueriesFile::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QByteArray() << QStringList();
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("LF only") << QByteArray("a\nb\n") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("CR only") << QByteArray("a\rb\r") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("mixed, last unended") << QByteArray("a\rb\nc\r\nd") << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s};
    QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << QStringList{u"a"_s, u""_s, u"b"_s};
    QTest::newRow("a lone break is one empty line") << QByteArray("\r\n") << QStringList{u""_s};
    QTest::newRow("tab is text") << QByteArray("a\tb\r\n") << QStringList{u"a\tb"_s};
    QTest::newRow("Cyrillic") << QByteArray("\xea\xed\xe8\xe3\xe0\r\n") << QStringList{u"книга"_s};
}

void TestSavedQueriesFile::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(SavedQueriesFile::decode(bytes, u"sql.txt"_s), lines);
}

void TestSavedQueriesFile::refusesWhatIsNoList_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("expected");
    QTest::newRow("missing") << u"missing"_s << u"Cannot read the saved statements file"_s;
    QTest::newRow("directory") << u"directory"_s << u"Cannot read the saved statements file"_s;
    QTest::newRow("5 MB") << u"large"_s << u"is larger than 1024 KB"_s;
    QTest::newRow("NUL bytes") << u"binary"_s << u"holds bytes that are not text (line 2)"_s;
}

void TestSavedQueriesFile::refusesWhatIsNoList()
{
    QFETCH(QString, kind);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"sql.txt"_s);
    if (kind == u"directory")
        QVERIFY(QDir(dir.path()).mkdir(u"sql.txt"_s));
    else if (kind == u"large")
        writeBytes(path, QByteArray(5 * 1024 * 1024 - 2, 'x') + "\r\n");
    else if (kind == u"binary")
        writeBytes(path, QByteArray("select 1\r\nab\0cd\r\n", 17));
    try {
        SavedQueriesFile::read(path);
        QFAIL("read did not refuse");
    } catch (const FileError &e) {
        QVERIFY2(e.message().contains(expected), qPrintable(e.message()));
        QVERIFY2(e.message().contains(path), qPrintable(e.message()));
    }
}

void TestSavedQueriesFile::unencodableStatementLeavesTheFileAsItWas()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"sql.txt"_s);
    writeBytes(path, "old\r\n");
    try {
        SavedQueriesFile::write(path, {u"new"_s, u"select '日本'"_s});
        QFAIL("a character Windows-1251 cannot hold was written");
    } catch (const FileError &e) {
        QVERIFY2(e.message().contains(u"\"日\""_s), qPrintable(e.message()));
    }
    QCOMPARE(readAll(path), QByteArray("old\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"sql.txt"_s});
}

void TestSavedQueriesFile::keepCopyTakesAFreeName()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"sql.txt"_s);
    writeBytes(path, QByteArray("first\0", 6));
    QCOMPARE(SavedQueriesFile::keepCopy(path), path + u".bak"_s);
    writeBytes(path, QByteArray("second\0", 7));
    QCOMPARE(SavedQueriesFile::keepCopy(path), path + u".bak2"_s);
    QCOMPARE(readAll(path + u".bak"_s), QByteArray("first\0", 6));
    QCOMPARE(readAll(path + u".bak2"_s), QByteArray("second\0", 7));
}

QTEST_GUILESS_MAIN(TestSavedQueriesFile)
#include "tst_savedqueriesfile.moc"
