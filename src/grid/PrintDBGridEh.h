#pragma once

#include "DBGridEh.h"

#include <QColor>
#include <QFont>
#include <QMarginsF>
#include <QObject>
#include <QPageLayout>
#include <QPointer>
#include <QStringList>

class QPainter;
class QPrinter;

// A line band at the top or bottom of every printed page: centred lines in their own font.
struct PrintBand {
    QStringList centerText;
    QFont font;
    QColor color = Qt::black;
};

// Prints a grid: its visible columns in the grid's order and titles, and every row of its
// query, fetched as far as the end. Column widths come from the contents; what does not fit
// its column wraps inside it. Pages are rendered one by one behind a progress dialog that can
// cancel, so a long list never becomes one huge document in memory.
class PrintDBGridEh : public QObject
{
    Q_OBJECT
public:
    explicit PrintDBGridEh(QObject *parent = nullptr);
    ~PrintDBGridEh() override;

    // The grid printed; attached before each print.
    DBGridEh *dbGridEh() const { return m_grid; }
    void setDBGridEh(DBGridEh *grid) { m_grid = grid; }

    PrintBand &PageHeader() { return m_header; }
    PrintBand &PageFooter() { return m_footer; }
    const PrintBand &PageHeader() const { return m_header; }
    const PrintBand &PageFooter() const { return m_footer; }

    // Page margins in millimetres.
    QMarginsF pageMargins() const { return m_margins; }
    void setPageMargins(const QMarginsF &millimetres) { m_margins = millimetres; }
    // Widths from the contents; otherwise the widths the grid shows.
    bool optimalColumnWidths() const { return m_optimalWidths; }
    void setOptimalColumnWidths(bool on) { m_optimalWidths = on; }

    // Texts of the progress dialog: "%1" is the number of rows read, or of the page printed.
    void setProgressTexts(const QString &readingRows, const QString &printingPage, const QString &cancel);

    // A font of the family, or of the system's sans-serif family where that one does not exist.
    static QFont fontOrSansSerif(const QString &family, int pointSize, bool bold);

    // Shows the print preview (print, page set-up, zoom, pages, close); printing happens from it.
    void Preview();
    // Renders every page on the printer; false when the user cancelled or the query failed.
    // A PDF file cut short is removed; one the print never began to write is left as it was.
    bool Print(QPrinter *printer);

signals:
    // The query failed while the rows were read; the text is the engine's message.
    void failed(const QString &message);
    // The preview is about to be shown (tests and the caller may look at it).
    void previewOpened(QWidget *preview);

private:
    struct Layout;
    bool stillValid(const Layout &layout) const;
    bool readAllRows(Layout &layout);
    bool renderPages(QPrinter *printer, Layout &layout);
    void drawBands(QPainter &painter, const Layout &layout, const QRectF &page, int pageNumber) const;
    void drawRow(QPainter &painter, const Layout &layout, qreal y, qreal height, int row) const;

    QPointer<DBGridEh> m_grid;
    PrintBand m_header;
    PrintBand m_footer;
    QMarginsF m_margins{10, 10, 10, 10};
    bool m_optimalWidths = true;
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    QString m_readingText = QStringLiteral("%1");
    QString m_pageText = QStringLiteral("%1");
    QString m_cancelText = QStringLiteral("Cancel");
};
