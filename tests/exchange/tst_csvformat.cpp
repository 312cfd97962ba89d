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
    void recordsDisagreeingWithTheFileAreKnown_data();
    void recordsDisagreeingWithTheFileAreKnown();
    void longFieldKeptBounded();
    void binaryFilesAreTold_data();
    void binaryFilesAreTold();
    void spreadsheetGuard_data();
    void spreadsheetGuard();
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

    // A file is read in pieces: a piece may end anywhere, even between CR and LF or two quotes.
    const QByteArray bytes = text.toUtf8();
    Csv::Splitter splitter(delimiter.at(0).toLatin1());
    QList<Csv::RawRecord> raw;
    for (const char c : bytes)
        splitter.feed(&c, 1, raw);
    splitter.finish(raw);
    Csv::Parsed pieces;
    for (const Csv::RawRecord &r : raw)
        pieces.records.append({r.line, Csv::decodeFields(r, Csv::Encoding::Utf8)});
    QCOMPARE(shown(pieces), records);
    QCOMPARE(splitter.unclosedQuoteLine(), unclosedQuoteLine);
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
    // One line a spreadsheet in another code page added does not turn the whole file into 1251.
    const QByteArray mixed = QStringLiteral("Кобзар,Шевченко\n").toUtf8() + Win1251::encode(QStringLiteral("Кобзар,Х\n")) +
                             QStringLiteral("Енеїда,Котляревський\n").toUtf8();
    QTest::newRow("utf-8 with one 1251 line") << mixed << int(Csv::Encoding::Utf8) << QString::fromUtf8(mixed);
    const QByteArray mostly1251 = Win1251::encode(QStringLiteral("Кобзар\nЕнеїда\n")) + QByteArray("Ї\n");
    QTest::newRow("1251 with one utf-8 line") << mostly1251 << int(Csv::Encoding::Windows1251)
                                              << Win1251::decode(mostly1251);
}

void TestCsvFormat::recordsDisagreeingWithTheFileAreKnown_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("control");
    QTest::addColumn<int>("kind");
    QTest::newRow("ascii") << QByteArray("Dune,1965") << false << int(Csv::TextKind::Ascii);
    QTest::newRow("utf-8") << QStringLiteral("Кобзар,Їжак").toUtf8() << false << int(Csv::TextKind::Utf8);
    QTest::newRow("1251") << Win1251::encode(QStringLiteral("Кобзар")) << false << int(Csv::TextKind::Other);
    QTest::newRow("overlong utf-8 is not utf-8") << QByteArray("\xC0\xAF") << false << int(Csv::TextKind::Other);
    QTest::newRow("nul byte") << QByteArray("Du\0ne,1965", 10) << true << int(Csv::TextKind::Ascii);
    QTest::newRow("tab is no control") << QByteArray("a\tb") << false << int(Csv::TextKind::Ascii);
}

void TestCsvFormat::recordsDisagreeingWithTheFileAreKnown()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, control);
    QFETCH(int, kind);
    Csv::Splitter splitter(',');
    QList<Csv::RawRecord> raw;
    splitter.feed(bytes.constData(), bytes.size(), raw);
    splitter.finish(raw);
    QCOMPARE(raw.size(), 1);
    QCOMPARE(raw.at(0).control, control);
    QCOMPARE(int(Csv::textKind(raw.at(0))), kind);
    QCOMPARE(Csv::agrees(Csv::textKind(raw.at(0)), Csv::Encoding::Utf8), kind != int(Csv::TextKind::Other));
    QCOMPARE(Csv::agrees(Csv::textKind(raw.at(0)), Csv::Encoding::Windows1251), kind != int(Csv::TextKind::Utf8));
}

void TestCsvFormat::longFieldKeptBounded()
{
    // A 1 MB cell of Cyrillic: only its start is kept, and it still reads as UTF-8.
    const QByteArray bytes = "T,\"" + QStringLiteral("Ж").repeated(500000).toUtf8() + "\"\nnext,x\n";
    Csv::Splitter splitter(',');
    QList<Csv::RawRecord> raw;
    for (qsizetype i = 0; i < bytes.size(); i += 4099)
        splitter.feed(bytes.constData() + i, qMin<qsizetype>(4099, bytes.size() - i), raw);
    splitter.finish(raw);
    QCOMPARE(raw.size(), 2);
    QVERIFY(raw.at(0).cut);
    QCOMPARE(raw.at(0).fields.at(1).size(), Csv::kFieldLimit);
    QCOMPARE(int(Csv::textKind(raw.at(0))), int(Csv::TextKind::Utf8));
    const QString kept = Csv::decodeFields(raw.at(0), Csv::Encoding::Utf8).at(1);
    QCOMPARE(kept, QStringLiteral("Ж").repeated(Csv::kFieldLimit / 2));
    QCOMPARE(raw.at(1).line, 2);
}

void TestCsvFormat::binaryFilesAreTold_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("binary");
    QTest::newRow("csv") << QByteArray("Title,Author\nA,B\nC,D\n") << false;
    QTest::newRow("csv with one nul row") << QByteArray("Title,Author\nA,B\nC\0,D\nE,F\nG,H\n", 30) << false;
    QTest::newRow("png") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x01\0\n\x08\x06\0\0\0\x1f\xf3\xff" "a", 34)
                         << true;
    QTest::newRow("nul in the header") << QByteArray("PK\x03\x04\x14\0\x06\0,x\nA,B\n", 15) << true;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestCsvFormat::binaryFilesAreTold()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, binary);
    Csv::Splitter splitter(',');
    QList<Csv::RawRecord> raw;
    splitter.feed(bytes.constData(), bytes.size(), raw);
    splitter.finish(raw);
    QCOMPARE(Csv::looksBinary(raw), binary);
}

void TestCsvFormat::spreadsheetGuard_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("written");
    QTest::newRow("formula") << "=HYPERLINK(\"http://x\")" << "'=HYPERLINK(\"http://x\")";
    QTest::newRow("dde") << "=cmd|' /C calc'!A0" << "'=cmd|' /C calc'!A0";
    QTest::newRow("plus") << "+1" << "'+1";
    QTest::newRow("minus") << "-5" << "'-5";
    QTest::newRow("at") << "@SUM(A1)" << "'@SUM(A1)";
    QTest::newRow("tab") << "\tx" << "'\tx";
    QTest::newRow("cr") << "\rx" << "'\rx";
    QTest::newRow("already guarded") << "'=1" << "''=1";
    QTest::newRow("quote alone") << "'quoted'" << "'quoted'";
    QTest::newRow("inside") << "a=b" << "a=b";
    QTest::newRow("empty") << "" << "";
}

void TestCsvFormat::spreadsheetGuard()
{
    QFETCH(QString, value);
    QFETCH(QString, written);
    QCOMPARE(Csv::spreadsheetSafe(value), written);
    QCOMPARE(Csv::fromSpreadsheetSafe(written), value);
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
    QTest::addColumn<QStringList>("values"); // what is stored; empty when rejected
    QTest::addColumn<int>("problem");        // -1 when accepted
    QTest::addColumn<QStringList>("keys");   // fields named by the rejection
    using P = BookImport::Problem;
    QTest::newRow("obligatory only") << QStringList{"Dune", "Herbert", "1965", "", "Chilton", "", "SF", "", ""}
                                     << QStringList{"Dune", "Herbert", "1965", {}, "Chilton", {}, "SF", {}, {}}
                                     << -1 << QStringList{};
    QTest::newRow("all fields, quotes kept as typed")
        << QStringList{"O'Brien's", "A", "0099", "S", "P", "Kyiv", "G", "it's", "C"}
        << QStringList{"O'Brien's", "A", "99", "S", "P", "Kyiv", "G", "it's", "C"} << -1 << QStringList{};
    QTest::newRow("blanks around values trimmed")
        << QStringList{" T ", "A ", " 2001", "", "P", "", "G", "", ""}
        << QStringList{"T", "A", "2001", {}, "P", {}, "G", {}, {}} << -1 << QStringList{};
    QTest::newRow("spreadsheet guard removed once")
        << QStringList{"'=1+1", "'-A", "2001", "''@s", "P", "'plain", "G", "'+x", ""}
        << QStringList{"=1+1", "-A", "2001", "'@s", "P", "'plain", "G", "+x", {}} << -1 << QStringList{};
    QTest::newRow("missing title and year") << QStringList{"", "A", "", "", "P", "", "G", "", ""} << QStringList{}
                                            << int(P::MissingFields) << QStringList{"ltitle", "lyear"};
    QTest::newRow("short row misses its last fields")
        << QStringList{"T", "A", "2001"} << QStringList{} << int(P::MissingFields) << QStringList{"lpub", "lgenre"};
    QTest::newRow("year not a number") << QStringList{"T", "A", "circa 1900", "", "P", "", "G", "", ""}
                                       << QStringList{} << int(P::BadYear) << QStringList{"lyear"};
    QTest::newRow("text Windows-1251 cannot hold") << QStringList{"T", "A", "2001", "", "P", "", "俳句", "", "€ ok"}
                                                   << QStringList{} << int(P::Unencodable) << QStringList{"lgenre"};
}

void TestCsvFormat::plan()
{
    QFETCH(QStringList, fields);
    QFETCH(QStringList, values);
    QFETCH(int, problem);
    QFETCH(QStringList, keys);
    const BookImport::Plan plan = BookImport::plan({row(7, fields)}, kInOrder, {}, win1251);
    if (problem < 0) {
        QCOMPARE(plan.rows.size(), 1);
        const QList<QString> parameters = BookImport::parameters(plan.rows.at(0));
        QCOMPARE(QStringList(parameters), values);
        for (int i = 0; i < values.size(); ++i) // NULL, not an empty text, for a field left empty
            QCOMPARE(parameters.at(i).isNull(), values.at(i).isNull());
        QCOMPARE(plan.lines, QList<int>{7});
        QVERIFY(plan.rejected.isEmpty());
    } else {
        QVERIFY(plan.rows.isEmpty());
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
    QCOMPARE(plan.rows.size(), 2);
    QCOMPARE(plan.rows.at(0).at(BookColumns::Title), QString(65, QLatin1Char('x')));
    QCOMPARE(plan.rows.at(1).at(BookColumns::Genre), QString(25, QLatin1Char('g')));
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
    QCOMPARE(plan.rows, QList<QStringList>{QStringList({"Unknown", "None", "0000", "S", "None", "", "None", "", ""})});
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
