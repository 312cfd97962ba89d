#include "PrintDBGridEh.h"

#include "FbError.h"
#include "FbQuery.h"
#include "QueryModel.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QTextLayout>
#include <algorithm>
#include <numeric>

namespace {

// Rows read from the cursor between two looks at the progress dialog.
constexpr int kReadBatch = 2000;
constexpr int kProgressDelayMs = 400;
constexpr qreal kCellPaddingMm = 1.0;
constexpr qreal kBandGapMm = 2.0;
constexpr qreal kWidthSlackMm = 0.3;
constexpr int kMinColumnChars = 3;
const QColor kTitleBackground(230, 230, 230);
const QColor kLineColor(160, 160, 160);

QFont boldFont(QFont font)
{
    font.setBold(true);
    return font;
}

// Breaks text into lines of the width, between words where it can and inside a word that is
// wider than the line; the height of the lines.
qreal wrapLines(QTextLayout &layout, qreal width, Qt::Alignment align)
{
    QTextOption option(align);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    return height;
}

// Gives each column its natural width where the page allows; columns wider than an even share
// of what is left split the rest in proportion to their natural widths, but none narrower than
// its minimum (its title and its longest word), so that words break only where one alone is wider
// than the page allows.
QVector<qreal> fitWidths(const QVector<qreal> &natural, qreal available, QVector<qreal> minimums)
{
    const qreal total = std::accumulate(natural.begin(), natural.end(), 0.0);
    if (total <= available || natural.isEmpty())
        return natural;
    for (int c = 0; c < natural.size(); ++c)
        minimums[c] = qMin(minimums[c], natural[c]);
    // When even the minimums do not fit, they shrink together: only then do words break.
    const qreal least = std::accumulate(minimums.begin(), minimums.end(), 0.0);
    if (least > available)
        for (qreal &minimum : minimums)
            minimum *= available / least;
    QVector<bool> fixed(natural.size(), false);
    QVector<qreal> widths = natural;
    for (bool changed = true; changed;) {
        changed = false;
        qreal remaining = available;
        int open = 0;
        qreal openNatural = 0;
        for (int c = 0; c < natural.size(); ++c) {
            if (fixed[c]) {
                remaining -= widths[c];
            } else {
                ++open;
                openNatural += natural[c];
            }
        }
        if (open == 0)
            break;
        const qreal share = remaining / open;
        for (int c = 0; c < natural.size(); ++c) {
            if (!fixed[c] && natural[c] <= share) {
                fixed[c] = true;
                changed = true;
            }
        }
        if (changed)
            continue;
        for (int c = 0; c < natural.size(); ++c) {
            if (!fixed[c] && remaining * natural[c] / openNatural < minimums[c]) {
                fixed[c] = true;
                widths[c] = minimums[c];
                changed = true;
            }
        }
        if (!changed)
            for (int c = 0; c < natural.size(); ++c)
                if (!fixed[c])
                    widths[c] = remaining * natural[c] / openNatural;
    }
    return widths;
}

// The width of the widest word of a text.
qreal widestWord(const QFontMetricsF &metrics, const QString &text)
{
    qreal widest = 0;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = qMax(widest, metrics.horizontalAdvance(word));
    return widest;
}

} // namespace

struct PrintDBGridEh::Layout {
    struct Column {
        int logical = 0;
        QString title;
        qreal width = 0;
    };

    Layout(QPrinter *printer, const QWidget *grid, const PrintBand &header, const PrintBand &footer)
        : bodyFont(grid ? grid->font() : QFont(), printer)
        , titleFont(boldFont(bodyFont))
        , headerFont(header.font, printer)
        , footerFont(footer.font, printer)
        , body(bodyFont, printer)
        , title(titleFont, printer)
        , headerMetrics(headerFont, printer)
        , footerMetrics(footerFont, printer)
        , mm(printer->resolution() / 25.4)
        , padding(kCellPaddingMm * mm)
        , device(printer)
        , screenScale(grid ? printer->resolution() / qreal(grid->logicalDpiX()) : 1.0)
    {
    }

    // The text and alignment of a cell as the grid shows them.
    QString cellText(int row, int c) const { return model ? model->cellText(row, columns[c].logical) : QString(); }
    Qt::Alignment cellAlignment(int row, int c) const
    {
        const QVariant align = model ? model->data(model->index(row, columns[c].logical), Qt::TextAlignmentRole)
                                     : QVariant();
        return align.isValid() ? (align.value<Qt::Alignment>() & Qt::AlignHorizontal_Mask) : Qt::AlignLeft;
    }

    qreal rowHeight(int row) const
    {
        qreal height = body.height();
        for (int c = 0; c < columns.size(); ++c)
            height = qMax(height, textHeight(body, bodyFont, cellText(row, c), columns[c].width - 2 * padding));
        return height + padding;
    }

    qreal textHeight(const QFontMetricsF &metrics, const QFont &font, const QString &text, qreal width) const
    {
        if (metrics.horizontalAdvance(text) <= width)
            return metrics.height();
        QTextLayout lines(text, font, device);
        return wrapLines(lines, width, Qt::AlignLeft);
    }

    qreal titleHeight() const
    {
        qreal height = title.height();
        for (const Column &c : columns)
            height = qMax(height, textHeight(title, titleFont, c.title, c.width - 2 * padding));
        return height + 2 * padding;
    }

    QFont bodyFont;
    QFont titleFont;
    QFont headerFont;
    QFont footerFont;
    QFontMetricsF body;
    QFontMetricsF title;
    QFontMetricsF headerMetrics;
    QFontMetricsF footerMetrics;
    qreal mm;
    qreal padding;
    QPaintDevice *device;
    qreal screenScale; // grid pixels to printer pixels
    QVector<Column> columns;
    QVector<qreal> natural; // widest text of each column
    QVector<qreal> least;   // each column's title, and its widest word
    QPointer<FbQuery> query;
    QPointer<QueryModel> model;
    int rows = 0;
    bool queryChanged = false;
    bool writing = false; // the printer has begun its output
    QProgressDialog *progress = nullptr;
};

PrintDBGridEh::PrintDBGridEh(QObject *parent)
    : QObject(parent)
{
    m_header.font = fontOrSansSerif(QStringLiteral("MS Sans Serif"), 8, true);
    m_footer.font = m_header.font;
}

PrintDBGridEh::~PrintDBGridEh() = default;

void PrintDBGridEh::setProgressTexts(const QString &readingRows, const QString &printingPage, const QString &cancel)
{
    m_readingText = readingRows;
    m_pageText = printingPage;
    m_cancelText = cancel;
}

QFont PrintDBGridEh::fontOrSansSerif(const QString &family, int pointSize, bool bold)
{
    QFont font(QFontDatabase::families().contains(family, Qt::CaseInsensitive)
                   ? family
                   : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

void PrintDBGridEh::Preview()
{
    QPrinter printer(QPrinter::HighResolution);
    // The page set-up chosen in the last preview (portrait or landscape) stays for the next.
    printer.setPageOrientation(m_orientation);
    QPrintPreviewDialog dialog(&printer, m_grid ? m_grid->window() : nullptr);
    dialog.setObjectName(QStringLiteral("PrintPreview"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *target) { Print(target); });
    emit previewOpened(&dialog);
    dialog.exec();
    m_orientation = printer.pageLayout().orientation();
}

bool PrintDBGridEh::Print(QPrinter *printer)
{
    printer->setPageMargins(m_margins, QPageLayout::Millimeter);
    Layout layout(printer, m_grid, m_header, m_footer);
    QProgressDialog progress(m_grid ? m_grid->window() : nullptr);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kProgressDelayMs);
    progress.setCancelButtonText(m_cancelText);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    layout.progress = &progress;

    layout.query = m_grid ? m_grid->query() : nullptr;
    layout.model = m_grid ? m_grid->queryModel() : nullptr;
    QList<QMetaObject::Connection> watches;
    if (layout.query) {
        // A re-run or a close while the dialog lets events through would mix two results.
        const auto changed = [&layout] { layout.queryChanged = true; };
        watches << connect(layout.query, &FbQuery::opened, this, changed)
                << connect(layout.query, &FbQuery::closed, this, changed);
    }
    bool done = false;
    try {
        done = readAllRows(layout) && renderPages(printer, layout);
    } catch (const FbError &e) {
        emit failed(e.message());
    } catch (const std::exception &e) {
        emit failed(QString::fromLocal8Bit(e.what()));
    }
    for (const QMetaObject::Connection &watch : std::as_const(watches))
        disconnect(watch);
    // A file half written is no list; one never started keeps what it held.
    if (!done && layout.writing && printer->outputFormat() == QPrinter::PdfFormat
        && !printer->outputFileName().isEmpty())
        QFile::remove(printer->outputFileName());
    return done;
}

bool PrintDBGridEh::stillValid(const Layout &layout) const
{
    return !layout.progress->wasCanceled() && !layout.queryChanged && (layout.rows == 0 || layout.query);
}

bool PrintDBGridEh::readAllRows(Layout &layout)
{
    QueryModel *model = m_grid ? m_grid->queryModel() : nullptr;
    if (!model)
        return true;
    const QHeaderView *header = m_grid->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (m_grid->isColumnHidden(logical) || logical >= model->columnCount())
            continue;
        const QString title = model->columnTitle(logical);
        layout.columns.append({logical, title, 0});
        layout.natural.append(m_optimalWidths ? layout.title.horizontalAdvance(title)
                                              : m_grid->columnWidth(logical) * layout.screenScale);
        layout.least.append(layout.title.horizontalAdvance(title));
    }

    FbQuery *query = layout.query;
    if (!query || !query->active())
        return true;
    layout.progress->setRange(0, 0);
    model->catchUp();
    for (int row = 0;;) {
        for (; row < query->fetchedCount() && m_optimalWidths; ++row) {
            for (int c = 0; c < layout.columns.size(); ++c) {
                const QString text = layout.cellText(row, c);
                const qreal width = layout.body.horizontalAdvance(text);
                layout.natural[c] = qMax(layout.natural[c], width);
                // Only a text wider than the column's least width can hold a wider word.
                if (width > layout.least[c])
                    layout.least[c] = qMax(layout.least[c], widestWord(layout.body, text));
            }
        }
        row = query->fetchedCount();
        layout.progress->setLabelText(m_readingText.arg(row));
        layout.progress->setValue(row);
        if (!stillValid(layout))
            return false;
        if (query->allFetched())
            break;
        query->fetchMore(kReadBatch);
        model->catchUp();
    }
    layout.rows = query->fetchedCount();
    return true;
}

bool PrintDBGridEh::renderPages(QPrinter *printer, Layout &layout)
{
    const QRectF paper = printer->pageLayout().paintRectPixels(printer->resolution());
    const QRectF page(0, 0, paper.width(), paper.height());
    QVector<qreal> natural = layout.natural;
    QVector<qreal> least = layout.least;
    // A little room over the widest text, so that rounding never wraps a text that fits.
    const qreal room = 2 * layout.padding + kWidthSlackMm * layout.mm;
    for (qreal &width : natural)
        width += room;
    for (qreal &width : least)
        width = qMax(width + room, kMinColumnChars * layout.body.averageCharWidth() + 2 * layout.padding);
    const QVector<qreal> widths = fitWidths(natural, page.width(), least);
    for (int c = 0; c < layout.columns.size(); ++c)
        layout.columns[c].width = widths[c];

    const qreal gap = kBandGapMm * layout.mm;
    const qreal headerHeight = m_header.centerText.size() * layout.headerMetrics.lineSpacing();
    const qreal footerHeight = qMax<qreal>(1, m_footer.centerText.size()) * layout.footerMetrics.lineSpacing();
    const qreal tableTop = headerHeight > 0 ? headerHeight + gap : 0;
    const qreal tableBottom = page.height() - footerHeight - gap;
    const qreal titleHeight = layout.titleHeight();
    const qreal maxRowHeight = qMax(layout.body.height(), tableBottom - tableTop - titleHeight);

    QPainter painter;
    if (!painter.begin(printer))
        throw std::runtime_error("The printer could not be started.");
    layout.writing = true;
    layout.progress->setRange(0, qMax(1, layout.rows));
    int row = 0;
    for (int pageNumber = 1;; ++pageNumber) {
        if (pageNumber > 1 && !printer->newPage())
            throw std::runtime_error("The printer could not start a new page.");
        layout.progress->setLabelText(m_pageText.arg(pageNumber));
        layout.progress->setValue(row);
        if (!stillValid(layout)) {
            printer->abort();
            return false;
        }
        drawBands(painter, layout, page, pageNumber);
        qreal y = tableTop;
        drawRow(painter, layout, y, titleHeight, -1);
        y += titleHeight;
        // At least one row per page, so a row taller than a page cannot stall the print.
        for (bool first = true; row < layout.rows; ++row, first = false) {
            const qreal height = qMin(layout.rowHeight(row), maxRowHeight);
            if (!first && y + height > tableBottom)
                break;
            drawRow(painter, layout, y, height, row);
            y += height;
        }
        if (row >= layout.rows)
            break;
    }
    painter.end();
    layout.progress->setValue(layout.progress->maximum());
    return true;
}

void PrintDBGridEh::drawBands(QPainter &painter, const Layout &layout, const QRectF &page, int pageNumber) const
{
    painter.setFont(layout.headerFont);
    painter.setPen(m_header.color);
    qreal y = 0;
    for (const QString &line : m_header.centerText) {
        painter.drawText(QRectF(0, y, page.width(), layout.headerMetrics.lineSpacing()),
                         Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, line);
        y += layout.headerMetrics.lineSpacing();
    }
    painter.setFont(layout.footerFont);
    painter.setPen(m_footer.color);
    const qreal lineHeight = layout.footerMetrics.lineSpacing();
    y = page.height() - qMax<qreal>(1, m_footer.centerText.size()) * lineHeight;
    const QRectF numberRect(0, y, page.width(), lineHeight);
    painter.drawText(numberRect, Qt::AlignRight | Qt::AlignTop, QString::number(pageNumber));
    // The centred line keeps clear of the page number on its right.
    const qreal numberWidth = layout.footerMetrics.horizontalAdvance(QStringLiteral("00000")) + layout.padding;
    for (const QString &line : m_footer.centerText) {
        const QRectF lineRect(numberWidth, y, page.width() - 2 * numberWidth, lineHeight);
        painter.drawText(lineRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                         layout.footerMetrics.elidedText(line, Qt::ElideMiddle, lineRect.width()));
        y += lineHeight;
    }
}

void PrintDBGridEh::drawRow(QPainter &painter, const Layout &layout, qreal y, qreal height, int row) const
{
    const bool titles = row < 0;
    painter.setFont(titles ? layout.titleFont : layout.bodyFont);
    qreal x = 0;
    for (int c = 0; c < layout.columns.size(); ++c) {
        const Layout::Column &column = layout.columns[c];
        const QRectF cell(x, y, column.width, height);
        if (titles)
            painter.fillRect(cell, kTitleBackground);
        painter.setPen(QPen(kLineColor, 0));
        painter.drawRect(cell);
        painter.setPen(Qt::black);
        const QRectF inner = cell.adjusted(layout.padding, layout.padding / 2, -layout.padding, -layout.padding / 2);
        const QString text = titles ? column.title : layout.cellText(row, c);
        const Qt::Alignment align = (titles ? Qt::AlignLeft : layout.cellAlignment(row, c)) | Qt::AlignTop;
        painter.save();
        painter.setClipRect(cell);
        const QFontMetricsF &metrics = titles ? layout.title : layout.body;
        if (metrics.horizontalAdvance(text) <= inner.width()) {
            painter.drawText(inner, int(align) | Qt::TextSingleLine, text);
        } else {
            QTextLayout lines(text, painter.font(), layout.device);
            wrapLines(lines, inner.width(), align);
            lines.draw(&painter, inner.topLeft());
        }
        painter.restore();
        x += column.width;
    }
}
