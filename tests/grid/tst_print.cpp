#include "DBGridEh.h"
#include "DataSource.h"
#include "FbDatabase.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "PrintDBGridEh.h"
#include "TestLibrary.h"

#include <QHeaderView>
#include <QAction>
#include <QDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRows = 1500;

// kRows rows N = 0.. with a title "Title N" (six digits), an author and a year.
const QString kRowsSql =
    u"WITH RECURSIVE d (n) AS (SELECT 0 FROM RDB$DATABASE UNION ALL SELECT n + 1 FROM d WHERE n < 9), "
    "nums (n) AS (SELECT a.n + 10 * b.n + 100 * c.n + 1000 * e.n FROM d a CROSS JOIN d b CROSS JOIN d c "
    "CROSS JOIN d e) "
    "SELECT n AS ID, 'Title ' || LPAD(CAST(n AS VARCHAR(6)), 6, '0') AS TITLE, 'Author' AS AUTHOR, "
    "1900 + MOD(n, 100) AS IYEAR FROM nums WHERE n < %1 ORDER BY n"_s.arg(kRows);

const QString kHeader = u"Books   01.02.2026 (10:11:12)"_s;
const QString kFooter = u"::: Bibliora ::: Database - /tmp/LIBRARY.GDB"_s;

// The text of a PDF, one entry per page.
QStringList pdfPages(const QString &file)
{
    QProcess pdftotext;
    pdftotext.start(u"pdftotext"_s, {u"-layout"_s, file, u"-"_s});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

} // namespace

class TestPrint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void printsEveryRowWithOneHeaderAndFooterPerPage();
    void printsVisibleColumnsInGridOrder();
    void emptyGridPrintsTitlesAlone();
    void longTextWrapsInsideItsColumn();
    void wrapsBetweenWordsAndNeverInATitle();
    void landscapeChosenInThePreviewStays();
    void failingQueryIsReportedAndKeepsOldFile();
    void unicodeLibraryPrintsEveryScript();

private:
    // Prints the grid to a PDF file through the engine; the pages' text.
    QStringList print(DBGridEh &grid);

    TestLibrary m_lib;
    QTemporaryDir m_out;
    std::unique_ptr<FbDatabase> m_db;
    std::unique_ptr<FbTransaction> m_tr;
    std::unique_ptr<FbQuery> m_query;
    std::unique_ptr<DataSource> m_source;
};

void TestPrint::initTestCase()
{
    QVERIFY(m_lib.isValid());
    QVERIFY(!QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty());
    m_db = std::make_unique<FbDatabase>();
    m_tr = std::make_unique<FbTransaction>(m_db.get());
    m_lib.configure(*m_db);
    m_query = std::make_unique<FbQuery>(m_db.get());
    m_source = std::make_unique<DataSource>();
    m_source->setDataSet(m_query.get());
}

QStringList TestPrint::print(DBGridEh &grid)
{
    PrintDBGridEh engine;
    engine.setDBGridEh(&grid);
    engine.PageHeader().centerText = {kHeader};
    engine.PageFooter().centerText = {kFooter};
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString file = m_out.filePath(u"list.pdf"_s);
    printer.setOutputFileName(file);
    if (!engine.Print(&printer))
        return {};
    return pdfPages(file);
}

void TestPrint::printsEveryRowWithOneHeaderAndFooterPerPage()
{
    m_query->setSqlText(kRowsSql);
    m_query->open();
    DBGridEh grid;
    grid.setDataSource(m_source.get());
    // Never scrolled: only the first batch has been fetched.
    QVERIFY(!m_query->allFetched());

    const QStringList pages = print(grid);
    QVERIFY(pages.size() > 10);
    QString all;
    for (const QString &page : pages) {
        QCOMPARE(page.count(kHeader), 1);
        QCOMPARE(page.count(kFooter), 1);
        QVERIFY(page.contains(u"TITLE"_s));
        all += page;
    }
    const QRegularExpression title(u"Title (\\d{6})"_s);
    int expected = 0;
    for (auto it = title.globalMatch(all); it.hasNext(); ++expected)
        QCOMPARE(it.next().captured(1).toInt(), expected);
    QCOMPARE(expected, kRows);
    // The grid's current row stays where it was.
    QCOMPARE(m_query->currentRow(), 0);
}

void TestPrint::printsVisibleColumnsInGridOrder()
{
    m_query->setSqlText(u"SELECT 7 AS ID, 'Dead Souls' AS TITLE, 'Gogol' AS AUTHOR, 1842 AS IYEAR "
                        "FROM RDB$DATABASE"_s);
    m_query->open();
    DBGridEh grid;
    grid.setDataSource(m_source.get());
    grid.setColumns({{u"TITLE"_s, u"Name of the book"_s, 0},
                     {u"ID"_s, u"Id"_s, 0},
                     {u"AUTHOR"_s, u"Writer"_s, 0},
                     {u"IYEAR"_s, u"Year"_s, 0}});
    grid.setColumnHidden(1, true);
    grid.horizontalHeader()->moveSection(3, 0); // Year first

    const QStringList pages = print(grid);
    QCOMPARE(pages.size(), 1);
    const QStringList lines = pages.first().split(QLatin1Char('\n'));
    const auto lineWith = [&](const QString &text) {
        for (const QString &line : lines)
            if (line.contains(text))
                return line.simplified();
        return QString();
    };
    QCOMPARE(lineWith(u"Writer"_s), u"Year Name of the book Writer"_s);
    QCOMPARE(lineWith(u"Gogol"_s), u"1842 Dead Souls Gogol"_s);
}

void TestPrint::emptyGridPrintsTitlesAlone()
{
    m_query->close();
    DBGridEh grid;
    grid.setColumns({{u"GIVEN_ID"_s, u"GIVEN_ID"_s, 0}, {u"GIVEN_TO"_s, u"GIVEN_TO"_s, 0}});
    grid.setDataSource(m_source.get());

    const QStringList pages = print(grid);
    QCOMPARE(pages.size(), 1);
    QVERIFY(pages.first().contains(kHeader));
    QVERIFY(pages.first().contains(kFooter));
    QCOMPARE(pages.first().simplified(), u"%1 GIVEN_ID GIVEN_TO %2 1"_s.arg(kHeader.simplified(), kFooter));
}

void TestPrint::longTextWrapsInsideItsColumn()
{
    // Words that together are far wider than the page; the next column must stay readable.
    QString longTitle;
    for (int word = 0; word < 60; ++word)
        longTitle += u"word%1 "_s.arg(word, 2, 10, QLatin1Char('0'));
    m_query->setSqlText(u"SELECT '%1' AS TITLE, 'Gogol' AS AUTHOR FROM RDB$DATABASE"_s.arg(longTitle.trimmed()));
    m_query->open();
    DBGridEh grid;
    grid.setDataSource(m_source.get());

    const QStringList pages = print(grid);
    QCOMPARE(pages.size(), 1);
    const QString text = pages.first();
    QVERIFY(text.contains(u"Gogol"_s));
    // Every word printed once, none cut off at the page edge.
    for (int word = 0; word < 60; ++word)
        QCOMPARE(text.count(u"word%1"_s.arg(word, 2, 10, QLatin1Char('0'))), 1);
    // Several lines of the title, each beside or below the author's column.
    int titleLines = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        titleLines += line.contains(u"word"_s) ? 1 : 0;
    QVERIFY(titleLines > 1);
}

void TestPrint::wrapsBetweenWordsAndNeverInATitle()
{
    // One very long text crowds the page; the short columns beside it keep their words whole.
    QString longTitle;
    for (int word = 0; word < 80; ++word)
        longTitle += u"word%1 "_s.arg(word, 2, 10, QLatin1Char('0'));
    m_query->setSqlText(u"SELECT '%1' AS TITLE, 'Лев Толстой' AS AUTHOR, 'Москва' AS PLACE, "
                        "'Художественная литература' AS PUBLISHER, 'Роман' AS GENRE, 'Собрание сочинений' AS SERIA, "
                        "'Проза' AS CLAS FROM RDB$DATABASE"_s.arg(longTitle.trimmed()));
    m_query->open();
    DBGridEh grid;
    grid.setDataSource(m_source.get());
    grid.setColumns({{u"TITLE"_s, u"Title"_s, 0},
                     {u"AUTHOR"_s, u"Автор"_s, 0},
                     {u"PLACE"_s, u"Місце видання"_s, 0},
                     {u"PUBLISHER"_s, u"Publisher"_s, 0},
                     {u"GENRE"_s, u"Жанр"_s, 0},
                     {u"SERIA"_s, u"Genre"_s, 0},
                     {u"CLAS"_s, u"Класс"_s, 0}});

    const QStringList pages = print(grid);
    QCOMPARE(pages.size(), 1);
    const QStringList words = pages.first().split(QRegularExpression(u"\\s+"_s), Qt::SkipEmptyParts);
    for (const QString &word : {u"Лев"_s, u"Толстой"_s, u"Москва"_s, u"Художественная"_s, u"литература"_s,
                                u"Роман"_s, u"Собрание"_s, u"сочинений"_s, u"Проза"_s, u"Автор"_s, u"Жанр"_s,
                                u"Genre"_s, u"Publisher"_s, u"Класс"_s, u"word42"_s})
        QVERIFY2(words.contains(word), qPrintable(word));
    // A title stays on one line.
    QVERIFY(pages.first().contains(u"Місце видання"_s));
}

void TestPrint::landscapeChosenInThePreviewStays()
{
    m_query->setSqlText(u"SELECT 'Dune' AS TITLE FROM RDB$DATABASE"_s);
    m_query->open();
    DBGridEh grid;
    grid.setDataSource(m_source.get());
    PrintDBGridEh engine;
    engine.setDBGridEh(&grid);
    QList<QPageLayout::Orientation> seen;
    connect(&engine, &PrintDBGridEh::previewOpened, this, [&seen](QWidget *preview) {
        QTimer::singleShot(0, preview, [&seen, preview] {
            auto *pages = preview->findChild<QPrintPreviewWidget *>();
            seen.append(pages->orientation());
            // The preview's own "Landscape" button.
            for (QAction *action : preview->findChildren<QAction *>())
                if (action->text() == u"Landscape"_s && seen.size() == 1)
                    action->trigger();
            qobject_cast<QDialog *>(preview)->reject();
        });
    });
    engine.Preview();
    engine.Preview();
    QCOMPARE(seen, (QList<QPageLayout::Orientation>{QPageLayout::Portrait, QPageLayout::Landscape}));
}

void TestPrint::failingQueryIsReportedAndKeepsOldFile()
{
    // Row 700 divides by zero: the engine fails while the print reads past the fetched rows.
    m_query->setSqlText(u"SELECT n, 1 / (n - 700) AS R FROM (%1)"_s.arg(
        u"SELECT ID AS N FROM (%1)"_s.arg(kRowsSql)));
    m_query->open();
    DBGridEh grid;
    grid.setDataSource(m_source.get());
    PrintDBGridEh engine;
    engine.setDBGridEh(&grid);
    QSignalSpy failed(&engine, &PrintDBGridEh::failed);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString file = m_out.filePath(u"failed.pdf"_s);
    QFile old(file);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an earlier list");
    old.close();
    printer.setOutputFileName(file);

    QVERIFY(!engine.Print(&printer));
    QCOMPARE(failed.count(), 1);
    QVERIFY2(failed.first().first().toString().contains(u"divide"_s, Qt::CaseInsensitive),
             qPrintable(failed.first().first().toString()));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("an earlier list"));
}

// A Unicode library's titles reach the page in their own letters.
void TestPrint::unicodeLibraryPrintsEveryScript()
{
    TestLibrary unicode(true, true);
    FbDatabase db;
    FbTransaction tr(&db);
    unicode.configure(db);
    const QStringList titles{u"Les Misérables"_s, u"Gdańsk"_s, u"Straße"_s, u"Кобзар"_s};
    for (const QString &title : titles) {
        FbQuery insert(&db);
        insert.setSqlText(u"INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('%1', 'A', '2001', "
                          "'P', 'G')"_s.arg(title));
        insert.execSQL();
    }
    FbQuery query(&db);
    query.setSqlText(u"SELECT title FROM book ORDER BY id"_s);
    query.open();
    DataSource source;
    source.setDataSet(&query);
    DBGridEh grid;
    grid.setDataSource(&source);
    const QString page = print(grid).join(QString());
    for (const QString &title : titles)
        QVERIFY2(page.contains(title), qPrintable(title));
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
