#include "BookColumns.h"
#include "BookImport.h"
#include "CsvFormat.h"
#include "SettingsList.h"
#include "TextCodec.h"

#include <QtTest>

namespace
{

// Records as "line:field|field" for compact comparison.
QStringList shown(const Csv::Parsed &parsed)
{
    QStringList out;
    for (const Csv::Record &r : parsed.records)
        out << QString::number(r.line) + QLatin1Char(':') + r.fields.join(QLatin1Char('|'));
    return out;
}

Csv::Record row(int line, const QStringList &fields)
{
    return {line, fields};
}

const QList<int> kInOrder = {0, 1, 2, 3, 4, 5, 6, 7, 8};

bool win1251(QStringView text)
{
    return Win1251::canEncode(text);
}

} // namespace

class TestCsvFormat : public QObject
{
    Q_OBJECT
private slots:
    void field_data();
    void field();
    void parse_data();
    void parse();
    void writtenRecordsReadBack();
    void encoding_data();
    void encoding();
    void delimiter_data();
    void delimiter();
    void headers_data();
    void headers();
    void firstMatchingColumnWins();
    void plan_data();
    void plan();
    void planSkipsBlankRowsAndCountsCuts();
    void emptyObligatoryFieldsFilledWhenAsked();
    void reportNamesEveryRejectedLine();
};

void TestCsvFormat::field_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("written");
    QTest::newRow("plain") << "Dune"
                           << "Dune";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("comma") << "Tolstoy, Leo"
                           << "\"Tolstoy, Leo\"";
    QTest::newRow("quote") << "The \"Idiot\""
                           << "\"The \"\"Idiot\"\"\"";
    QTest::newRow("line feed") << "a\nb"
                               << "\"a\nb\"";
    QTest::newRow("carriage return") << "a\rb"
                                     << "\"a\rb\"";
    QTest::newRow("semicolon stays bare") << "a;b"
                                          << "a;b";
}

void TestCsvFormat::field()
{
    QFETCH(QString, value);
    QFETCH(QString, written);
    QCOMPARE(Csv::field(value), written);
    QCOMPARE(Csv::record({value, QStringLiteral("x")}), written + QStringLiteral(",x\r\n"));
}

void TestCsvFormat::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<int>("unclosedQuoteLine");
    QTest::newRow("crlf") << "a,b\r\nc,d\r\n"
                          << "," << QStringList{"1:a|b", "2:c|d"} << 0;
    QTest::newRow("lf and no last break") << "a,b\nc,d"
                                          << "," << QStringList{"1:a|b", "2:c|d"} << 0;
    QTest::newRow("quoted delimiter and quote") << "\"x, \"\"y\"\"\",z\n"
                                                << "," << QStringList{"1:x, \"y\"|z"} << 0;
    QTest::newRow("line break inside quotes") << "t,\"one\r\ntwo\"\r\nnext,x\r\n"
                                              << "," << QStringList{"1:t|one\r\ntwo", "3:next|x"} << 0;
    QTest::newRow("blank lines give no record") << "a\n\n\nb\n"
                                                << "," << QStringList{"1:a", "4:b"} << 0;
    QTest::newRow("empty fields kept") << ",,\n\"\"\n"
                                       << "," << QStringList{"1:||", "2:"} << 0;
    QTest::newRow("semicolon") << "a;\"b;c\"\n"
                               << ";" << QStringList{"1:a|b;c"} << 0;
    QTest::newRow("unclosed quote") << "a\nb,\"open\nc\n"
                                    << "," << QStringList{"1:a", "2:b|open\nc\n"} << 2;
}

void TestCsvFormat::parse()
{
    QFETCH(QString, text);
    QFETCH(QString, delimiter);
    QFETCH(QStringList, records);
    QFETCH(int, unclosedQuoteLine);
    const Csv::Parsed parsed = Csv::parse(text, delimiter.at(0));
    QCOMPARE(shown(parsed), records);
    QCOMPARE(parsed.unclosedQuoteLine, unclosedQuoteLine);
}

void TestCsvFormat::writtenRecordsReadBack()
{
    const QList<QStringList> rows = {{"ID", "TITLE", "DESCRIPTION"},
                                     {"1", "Война и мир", "Том 1, \"Часть\" 1\r\nвторая строка"},
                                     {"2", "", "'; DROP TABLE book; --"}};
    QString text;
    for (const QStringList &r : rows)
        text += Csv::record(r);
    const Csv::Parsed parsed = Csv::parse(text, Csv::detectDelimiter(text));
    QCOMPARE(parsed.records.size(), rows.size());
    for (int i = 0; i < rows.size(); ++i)
        QCOMPARE(parsed.records.at(i).fields, rows.at(i));
    QCOMPARE(parsed.records.at(2).line, 4);
}

void TestCsvFormat::encoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("text");
    const QString cyrillic = QStringLiteral("Автор,Рік");
    QTest::newRow("utf-8 with bom") << Csv::byteOrderMark() + cyrillic.toUtf8() << int(Csv::Encoding::Utf8Bom)
                                    << cyrillic;
    QTest::newRow("utf-8") << cyrillic.toUtf8() << int(Csv::Encoding::Utf8) << cyrillic;
    QTest::newRow("windows-1251") << Win1251::encode(cyrillic) << int(Csv::Encoding::Windows1251) << cyrillic;
    QTest::newRow("ascii") << QByteArray("Title,Author") << int(Csv::Encoding::Utf8) << "Title,Author";
}

void TestCsvFormat::encoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(QString, text);
    const Csv::Encoding detected = Csv::detectEncoding(bytes);
    QCOMPARE(int(detected), encoding);
    QCOMPARE(Csv::decode(bytes, detected), text);
}

void TestCsvFormat::delimiter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("delimiter");
    QTest::newRow("comma") << "Title,Author,Year\n1;2"
                           << ",";
    QTest::newRow("semicolon") << "Название;Автор;Год\na,b"
                               << ";";
    QTest::newRow("tab") << "Title\tAuthor\n"
                         << "\t";
    QTest::newRow("quoted commas do not count") << "\"a,b,c\";d;e\n"
                                                << ";";
    QTest::newRow("one column") << "Title\nDune\n"
                                << ",";
}

void TestCsvFormat::delimiter()
{
    QFETCH(QString, text);
    QFETCH(QString, delimiter);
    QCOMPARE(Csv::detectDelimiter(text), delimiter.at(0));
}

void TestCsvFormat::headers_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<int>("field");
    using namespace BookColumns;
    QTest::newRow("own export") << "IYEAR" << int(Year);
    QTest::newRow("own class") << "CLAS" << int(Clas);
    QTest::newRow("Title") << "Title" << int(Title);
    QTest::newRow("Year Published") << "Year Published" << int(Year);
    QTest::newRow("Original Publication Year") << "Original Publication Year" << int(Year);
    QTest::newRow("snake case") << "year_published" << int(Year);
    QTest::newRow("Author l-f") << "Author l-f" << int(Author);
    QTest::newRow("Series") << " Series " << int(Seria);
    QTest::newRow("Subjects") << "Subjects" << int(Genre);
    QTest::newRow("Notes") << "Notes" << int(Description);
    QTest::newRow("ru title") << "Название" << int(Title);
    QTest::newRow("ru year") << "Год издания" << int(Year);
    QTest::newRow("ru publisher") << "ИЗДАТЕЛЬСТВО" << int(Publisher);
    QTest::newRow("ua year") << "Рік видання" << int(Year);
    QTest::newRow("ua genre") << "Жанр" << int(Genre);
    QTest::newRow("ua place") << "Місце видання" << int(Place);
    QTest::newRow("ISBN is no field") << "ISBN" << -1;
    QTest::newRow("Id is never imported") << "ID" << -1;
    QTest::newRow("My Rating") << "My Rating" << -1;
}

void TestCsvFormat::headers()
{
    QFETCH(QString, header);
    QFETCH(int, field);
    QCOMPARE(BookColumns::matchHeader(header), field);
}

void TestCsvFormat::firstMatchingColumnWins()
{
    const QList<int> mapping = BookColumns::autoMapping(
        {"Book Id", "Title", "Author", "Additional Authors", "Authors", "Publisher", "Year Published", "Genre"});
    QCOMPARE(mapping, QList<int>({1, 2, 6, -1, 5, -1, 7, -1, -1}));
}

void TestCsvFormat::plan_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("sql");      // empty when rejected
    QTest::addColumn<int>("problem");      // -1 when accepted
    QTest::addColumn<QStringList>("keys"); // fields named by the rejection
    using P = BookImport::Problem;
    QTest::newRow("obligatory only")
        << QStringList{"Dune", "Herbert", "1965", "", "Chilton", "", "SF", "", ""}
        << "INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('Dune', 'Herbert', '1965', "
           "'Chilton', 'SF')"
        << -1 << QStringList{};
    QTest::newRow("all fields, quotes doubled")
        << QStringList{"O'Brien's", "A", "0099", "S", "P", "Kyiv", "G", "it's", "C"}
        << "INSERT INTO book (title, author, iyear, publisher, genre, seria, place, description, clas) VALUES "
           "('O''Brien''s', 'A', '99', 'P', 'G', 'S', 'Kyiv', 'it''s', 'C')"
        << -1 << QStringList{};
    QTest::newRow("blanks around values trimmed")
        << QStringList{" T ", "A ", " 2001", "", "P", "", "G", "", ""}
        << "INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('T', 'A', '2001', 'P', 'G')" << -1
        << QStringList{};
    QTest::newRow("missing title and year") << QStringList{"", "A", "", "", "P", "", "G", "", ""} << ""
                                            << int(P::MissingFields) << QStringList{"ltitle", "lyear"};
    QTest::newRow("short row misses its last fields")
        << QStringList{"T", "A", "2001"} << "" << int(P::MissingFields) << QStringList{"lpub", "lgenre"};
    QTest::newRow("year not a number") << QStringList{"T", "A", "circa 1900", "", "P", "", "G", "", ""} << ""
                                       << int(P::BadYear) << QStringList{"lyear"};
    QTest::newRow("text Windows-1251 cannot hold") << QStringList{"T", "A", "2001", "", "P", "", "俳句", "", "€ ok"}
                                                   << "" << int(P::Unencodable) << QStringList{"lgenre"};
}

void TestCsvFormat::plan()
{
    QFETCH(QStringList, fields);
    QFETCH(QString, sql);
    QFETCH(int, problem);
    QFETCH(QStringList, keys);
    const BookImport::Plan plan = BookImport::plan({row(7, fields)}, kInOrder, {}, win1251);
    if (problem < 0) {
        QCOMPARE(plan.statements, QStringList{sql});
        QCOMPARE(plan.lines, QList<int>{7});
        QVERIFY(plan.rejected.isEmpty());
    } else {
        QVERIFY(plan.statements.isEmpty());
        QCOMPARE(plan.rejected.size(), 1);
        QCOMPARE(plan.rejected.at(0).line, 7);
        QCOMPARE(int(plan.rejected.at(0).problem), problem);
        QCOMPARE(plan.rejected.at(0).labelKeys, keys);
    }
}

void TestCsvFormat::planSkipsBlankRowsAndCountsCuts()
{
    // Columns of the file: ISBN, Title, Author, Year, Publisher, Genre; the ISBN is not imported.
    const QList<int> mapping = {1, 2, 3, -1, 4, -1, 5, -1, -1};
    const QString longTitle(70, QLatin1Char('x'));
    const BookImport::Plan plan =
        BookImport::plan({row(2, {"978", longTitle, "A", "2001", "P", "G"}), row(3, {"979", "", " ", "", "", ""}),
                          row(4, {"980", "T", "A", "2001", "P", QString(30, QLatin1Char('g'))})},
                         mapping, {}, win1251);
    QCOMPARE(plan.statements.size(), 2);
    QVERIFY(plan.statements.at(0).contains(QLatin1Char('\'') + QString(65, QLatin1Char('x')) + QLatin1Char('\'')));
    QVERIFY(plan.statements.at(1).contains(QLatin1Char('\'') + QString(25, QLatin1Char('g')) + QLatin1Char('\'')));
    QCOMPARE(plan.lines, QList<int>({2, 4}));
    QCOMPARE(plan.cutValues, 2);
    QCOMPARE(plan.blankRows, 1); // the row with only an ISBN holds nothing to import
    QVERIFY(plan.rejected.isEmpty());
}

void TestCsvFormat::emptyObligatoryFieldsFilledWhenAsked()
{
    BookImport::Options options;
    options.fillEmpty = true;
    options.unknownWord = QStringLiteral("Unknown");
    options.noneWord = QStringLiteral("None");
    const BookImport::Plan plan = BookImport::plan({row(2, {"", "", "", "S"})}, kInOrder, options, win1251);
    QCOMPARE(plan.statements,
             QStringList{"INSERT INTO book (title, author, iyear, publisher, genre, seria) VALUES ('Unknown', 'None', "
                         "'0000', 'None', 'None', 'S')"});
}

void TestCsvFormat::reportNamesEveryRejectedLine()
{
    settingsList().setValue(QStringLiteral("Language"), QStringLiteral("en"));
    BookImport::Plan plan =
        BookImport::plan({row(2, {"T", "A", "x", "", "P", "", "G"}), row(3, {"", "A", "2001", "", "", "", "G"}),
                          row(5, {"T", "A", "2001", "", "P", "", "G"})},
                         kInOrder, {}, win1251);
    QCOMPARE(BookImport::report(plan, 1),
             QStringList({"Books imported: 1", "Values cut to the column width: 0", "Rows rejected: 2",
                          "Line 2: the year is not a number", "Line 3: empty obligatory fields: Title, Publisher"}));
}

QTEST_GUILESS_MAIN(TestCsvFormat)
#include "tst_csvformat.moc"
