#include "ConstantListFiles.h"
#include "FileError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace
{

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestConstantListFiles : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void serializeIsWindows1251WithCrLf();
    void sortedInsert_data();
    void sortedInsert();
    void loadedValuesAreSorted();
    void unstorableCharacter_data();
    void unstorableCharacter();
    void fileRoundTripAndReplace();
    void unreadableOrUnwritablePaths();
    void manyLines();
};

void TestConstantListFiles::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("values");
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("empty line kept") << QByteArray("b\r\nA\r\n\r\nc\r\n") << QStringList{"b", "A", "", "c"};
    QTest::newRow("only a line end") << QByteArray("\r\n") << QStringList{""};
    QTest::newRow("last line without line end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("lone CR splits") << QByteArray("a\rb\r\n") << QStringList{"a", "b"};
    QTest::newRow("LF only") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("Windows-1251") << QByteArray("\xC0\xE2\xF2\xEE\xF0 \xB2\r\n") << QStringList{u"Автор І"_s};
}

void TestConstantListFiles::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, values);
    QCOMPARE(ConstantListFiles::parse(bytes), values);
}

void TestConstantListFiles::serializeIsWindows1251WithCrLf()
{
    const QStringList values{u""_s, u"A"_s, u"Автор"_s};
    const QByteArray bytes("\r\nA\r\n\xC0\xE2\xF2\xEE\xF0\r\n");
    QCOMPARE(ConstantListFiles::serialize(values), bytes);
    QCOMPARE(ConstantListFiles::parse(bytes), values);
    QCOMPARE(ConstantListFiles::serialize({}), QByteArray());
}

void TestConstantListFiles::sortedInsert_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("any case") << QStringList{"apple", "Cherry"} << u"banana"_s
                              << QStringList{"apple", "banana", "Cherry"};
    QTest::newRow("after its equal in another case") << QStringList{"apple", "Banana", "cherry"} << u"banana"_s
                                                     << QStringList{"apple", "Banana", "banana", "cherry"};
    QTest::newRow("duplicate") << QStringList{"A", "A"} << u"A"_s << QStringList{"A", "A", "A"};
    QTest::newRow("empty value first") << QStringList{"A"} << QString() << QStringList{"", "A"};
    QTest::newRow("cyrillic after latin")
        << QStringList{"Zed", u"борис"_s} << u"Анна"_s << QStringList{"Zed", u"Анна"_s, u"борис"_s};
    QTest::newRow("cyrillic any case") << QStringList{u"Анна"_s, u"вера"_s} << u"Борис"_s
                                       << QStringList{u"Анна"_s, u"Борис"_s, u"вера"_s};
    QTest::newRow("year digits") << QStringList{"1812", "2001"} << u"1999"_s << QStringList{"1812", "1999", "2001"};
}

void TestConstantListFiles::sortedInsert()
{
    QFETCH(QStringList, list);
    QFETCH(QString, value);
    QFETCH(QStringList, after);
    list.insert(ConstantListFiles::sortedPosition(list, value), value);
    QCOMPARE(list, after);
}

void TestConstantListFiles::loadedValuesAreSorted()
{
    QCOMPARE(ConstantListFiles::sorted({"b", "A", "", "c"}), (QStringList{"", "A", "b", "c"}));
    // Equal values keep the order of the file.
    QCOMPARE(ConstantListFiles::sorted({"b", "B", "a", "b"}), (QStringList{"a", "b", "B", "b"}));
}

void TestConstantListFiles::unstorableCharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("character");
    QTest::newRow("cyrillic and euro sign") << u"Автор € №"_s << QString();
    QTest::newRow("chinese") << u"ab中c"_s << u"中"_s;
    QTest::newRow("emoji as one character") << u"x😀y"_s << u"😀"_s;
}

void TestConstantListFiles::unstorableCharacter()
{
    QFETCH(QString, text);
    QFETCH(QString, character);
    QCOMPARE(ConstantListFiles::firstUnstorableCharacter(text), character);
}

void TestConstantListFiles::fileRoundTripAndReplace()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u".authorconst"_s);
    ConstantListFiles::write(path, {u"Шевченко"_s, u"Austen"_s});
    QCOMPARE(fileBytes(path), QByteArray("\xD8\xE5\xE2\xF7\xE5\xED\xEA\xEE\r\nAusten\r\n"));
    ConstantListFiles::write(path, {u"B"_s});
    QCOMPARE(fileBytes(path), QByteArray("B\r\n"));
    QCOMPARE(ConstantListFiles::read(path), QStringList{u"B"_s});
    // Nothing but the list is left behind in the directory.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u".authorconst"_s});
    // A kept copy replaces an older one.
    writeBytes(path + u".bak"_s, "older");
    ConstantListFiles::keepOldCopy(path);
    QCOMPARE(fileBytes(path + u".bak"_s), QByteArray("B\r\n"));
}

void TestConstantListFiles::unreadableOrUnwritablePaths()
{
    QTemporaryDir dir;
    QVERIFY_THROWS_EXCEPTION(FileError, ConstantListFiles::read(dir.filePath(u".missing"_s)));
    const QString folder = dir.filePath(u".yearconst"_s);
    QVERIFY(QDir().mkdir(folder));
    writeBytes(folder + u"/inside"_s, "kept");
    QVERIFY_THROWS_EXCEPTION(FileError, ConstantListFiles::read(folder));
    QVERIFY_THROWS_EXCEPTION(FileError, ConstantListFiles::write(folder, {u"1999"_s}));
    QCOMPARE(fileBytes(folder + u"/inside"_s), QByteArray("kept"));
    QVERIFY_THROWS_EXCEPTION(FileError, ConstantListFiles::write(dir.filePath(u"no/such/.yearconst"_s), {}));
}

void TestConstantListFiles::manyLines()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u".placeconst"_s);
    QByteArray bytes;
    for (int i = 0; i < 10000; ++i)
        bytes += "Place " + QByteArray::number(i) + "\r\n";
    writeBytes(path, bytes);
    const QStringList values = ConstantListFiles::read(path);
    QCOMPARE(values.size(), 10000);
    QCOMPARE(values.last(), u"Place 9999"_s);
    QCOMPARE(ConstantListFiles::serialize(values), bytes);
}

QTEST_GUILESS_MAIN(TestConstantListFiles)
#include "tst_constantlistfiles.moc"
