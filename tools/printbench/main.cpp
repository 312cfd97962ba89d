// printbench [BOOKS] [PREVIEW_BOOKS]: generates a library of BOOKS books (default 100000) and
// measures printing the whole book list to a PDF file through the grid's print engine, and
// opening the print preview of the first PREVIEW_BOOKS books (default 10000), with the
// program's peak memory after each.
#include "DBGridEh.h"
#include "DataSource.h"
#include "FbQuery.h"
#include "GeneratedLibrary.h"
#include "PrintDBGridEh.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <sys/resource.h>

namespace {
QTextStream out(stdout);

double peakMemoryMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

template <typename F> double measure(F &&work)
{
    QElapsedTimer t;
    t.start();
    work();
    return t.nsecsElapsed() / 1e6;
}

// The book list as the main window shows it.
void showBooks(DBGridEh &grid, FbQuery &list, const QString &sql)
{
    list.setSqlText(sql);
    list.open();
    grid.setColumns({{QStringLiteral("TITLE"), QStringLiteral("Title"), 65},
                     {QStringLiteral("ID"), QStringLiteral("Id"), 4},
                     {QStringLiteral("AUTHOR"), QStringLiteral("Author"), 35},
                     {QStringLiteral("IYEAR"), QStringLiteral("Year"), 4},
                     {QStringLiteral("SERIA"), QStringLiteral("Seria"), 35},
                     {QStringLiteral("PUBLISHER"), QStringLiteral("Publisher"), 35},
                     {QStringLiteral("PLACE"), QStringLiteral("Place"), 50},
                     {QStringLiteral("GENRE"), QStringLiteral("Genre"), 25},
                     {QStringLiteral("DESCRIPTION"), QStringLiteral("Description"), 255},
                     {QStringLiteral("CLAS"), QStringLiteral("Class"), 45}});
    QApplication::processEvents();
}
} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int books = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 100000;
    const int previewBooks = argc > 2 ? QString::fromLatin1(argv[2]).toInt() : 10000;
    GeneratedLibrary library(books);
    out << "books: " << books << " (generated in " << qRound(library.fillMs()) << " ms), memory "
        << peakMemoryMb() << " MB\n";
    out.flush();

    FbQuery list(&library.database());
    DataSource source;
    source.setDataSet(&list);
    DBGridEh grid;
    grid.resize(800, 500);
    grid.setDataSource(&source);
    grid.show();
    PrintDBGridEh engine;
    engine.setDBGridEh(&grid);
    engine.PageHeader().centerText = {QStringLiteral("Books   10.12.2026 (12:00:00)")};
    engine.PageFooter().centerText = {QStringLiteral("::: Bibliora ::: Database - LIBRARY.GDB")};

    // The whole list to a PDF file.
    showBooks(grid, list, QStringLiteral("select * from BOOK"));
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("books.pdf")));
    bool printed = false;
    const double pdfMs = measure([&] { printed = engine.Print(&printer); });
    out << "print " << list.fetchedCount() << " books to PDF: " << qRound(pdfMs) << " ms, "
        << (printed ? "done" : "FAILED") << ", " << QFileInfo(printer.outputFileName()).size() / 1024
        << " KB, peak memory " << peakMemoryMb() << " MB\n";
    out.flush();

    // The preview of the first books, from the call until its pages are there.
    showBooks(grid, list, QStringLiteral("select first %1 * from BOOK").arg(previewBooks));
    int pages = 0;
    // Closed as soon as it waits for the user with its pages made.
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&engine, &PrintDBGridEh::previewOpened, &engine, [&pages, &poll](QWidget *preview) {
        QObject::connect(&poll, &QTimer::timeout, preview, [&pages, &poll, preview] {
            if (QApplication::activeModalWidget() != preview)
                return;
            poll.stop();
            if (const auto *widget = preview->findChild<QPrintPreviewWidget *>())
                pages = widget->pageCount();
            qobject_cast<QDialog *>(preview)->reject();
        });
        poll.start();
    });
    const double previewMs = measure([&] { engine.Preview(); });
    out << "preview of " << list.fetchedCount() << " books: " << qRound(previewMs) << " ms, " << pages
        << " pages, peak memory " << peakMemoryMb() << " MB\n";
    return printed ? 0 : 1;
}
