#include "DBGridEh.h"

#include "DataSource.h"
#include "FbQuery.h"
#include "GridCellDelegate.h"
#include "GridFindDialog.h"
#include "GridSearchProgress.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

namespace {

// Rows pulled at a time while a search runs past the fetched ones: each pull costs the view a
// row insertion, so not too few; and rows looked at between two checks for events.
constexpr int kSearchBatch = 10000;
constexpr int kStepRows = 2000;

bool isPrintable(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); });
}

} // namespace

DBGridEh::DBGridEh(QWidget *parent)
    : QTableView(parent)
    , m_model(new QueryModel(this))
{
    setModel(m_model);
    m_model->setShownCheck([this] { return isVisible(); });
    setItemDelegate(new GridCellDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setShowGrid(true);
    // The view keeps a line's pixel between cells but draws no lines: drawGridLines does.
    setGridStyle(Qt::NoPen);
    setSortingEnabled(false);
    setWordWrap(false);
    // Tab and Shift+Tab leave the list for the next control; the arrows move between cells.
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);

    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // A click on a title would select the column or suggest sorting; the grid offers neither
    // unless its owner orders the list by the title clicked (setTitlesClickable).
    horizontalHeader()->setSectionsClickable(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { emit titleClicked(columnField(column)); });
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    holdTitlePalette();

    m_searchTimer.setSingleShot(true);
    m_searchTimer.setInterval(kSearchResetMs);
    connect(&m_searchTimer, &QTimer::timeout, this, [this] { m_searchText.clear(); });

    connect(m_model, &QueryModel::fetchFailed, this, &DBGridEh::fetchFailed);
    connect(m_model, &QueryModel::columnsChanged, this, &DBGridEh::applyColumnWidths);
    // The view has dropped its current index by the time this runs; put it back on the query's row.
    connect(m_model, &QAbstractItemModel::modelReset, this, &DBGridEh::followQuery);
    // A new result owes nothing to the rows the typed text found in the old one.
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { m_searchText.clear(); });
}

DBGridEh::~DBGridEh() = default;

DataSource *DBGridEh::dataSource() const
{
    return m_source;
}

void DBGridEh::setDataSource(DataSource *source)
{
    if (m_source == source)
        return;
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    m_searchText.clear();
    m_model->setDataSource(source);
    if (source) {
        connect(source, &DataSource::currentRowChanged, this, &DBGridEh::followQuery);
        // A status belongs to the rows it was said of; new rows clear it.
        connect(source, &DataSource::opened, this, [this] { setStatusText(QString()); });
    }
    followQuery();
}

void DBGridEh::setStatusText(const QString &text)
{
    m_statusText = text;
    viewport()->update();
}

void DBGridEh::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    drawGridLines(event->region());
    if (m_statusText.isEmpty())
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(viewport()->rect(), Qt::AlignCenter, m_statusText);
}

// The titles' colour, which the model gives every title, is also the header's own: the header
// then draws each title with its palette unchanged, and the style finds the title it drew last
// time in its picture cache instead of painting it anew after every re-run.
void DBGridEh::holdTitlePalette()
{
    QPalette palette = horizontalHeader()->palette();
    palette.setBrush(QPalette::ButtonText, QBrush(m_model->titleColor()));
    horizontalHeader()->setPalette(palette);
}

// The lines the view draws between cells, where it draws them. The view's own lines go pixel by
// pixel through the painter's line drawing, which cost more than all the cells' backgrounds on
// every repaint of the list; these are filled as rectangles one pixel wide.
void DBGridEh::drawGridLines(const QRegion &region)
{
    if (!showGrid())
        return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QColor colour =
        QColor::fromRgba(static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
    const QHeaderView *rows = verticalHeader();
    const QHeaderView *columns = horizontalHeader();
    const bool rightToLeft = isRightToLeft();
    const int lastX = columns->length() - columns->offset() - (rightToLeft ? 0 : 1);
    const int lastY = rows->length() - rows->offset() - 1;
    QPainter painter(viewport());
    for (QRect area : region) {
        area.setBottom(qMin(area.bottom(), lastY));
        if (rightToLeft)
            area.setLeft(qMax(area.left(), viewport()->width() - lastX));
        else
            area.setRight(qMin(area.right(), lastX));
        int top = rows->visualIndexAt(area.top());
        int bottom = rows->visualIndexAt(area.bottom());
        if (bottom == -1)
            bottom = rows->count() - 1;
        if (!area.isValid() || top == -1 || top > bottom)
            continue;
        int left = columns->visualIndexAt(rightToLeft ? area.right() : area.left());
        int right = columns->visualIndexAt(rightToLeft ? area.left() : area.right());
        left = left == -1 ? 0 : left;
        right = right == -1 ? columns->count() - 1 : right;
        for (int visual = top; visual <= bottom; ++visual) {
            const int row = rows->logicalIndex(visual);
            if (!rows->isSectionHidden(row))
                painter.fillRect(QRect(area.left(), rowViewportPosition(row) + rowHeight(row) - 1, area.width(), 1), colour);
        }
        for (int visual = left; visual <= right; ++visual) {
            const int column = columns->logicalIndex(visual);
            if (!columns->isSectionHidden(column)) {
                const int x = columnViewportPosition(column) + (rightToLeft ? 0 : columnWidth(column) - 1);
                painter.fillRect(QRect(x, area.top(), 1, area.height()), colour);
            }
        }
    }
}

FbQuery *DBGridEh::query() const
{
    return m_model->query();
}

void DBGridEh::setColumns(const QVector<GridColumn> &columns)
{
    m_model->setColumns(columns);
}

void DBGridEh::setColumnTitle(int column, const QString &title)
{
    m_model->setColumnTitle(column, title);
}

void DBGridEh::setTitlesClickable(bool clickable)
{
    horizontalHeader()->setSectionsClickable(clickable);
}

QString DBGridEh::columnField(int column) const
{
    const QVector<GridColumn> columns = m_model->columns();
    if (column >= 0 && column < columns.size())
        return columns.at(column).fieldName;
    // Without fixed columns every field is shown, titled with its name.
    return m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

void DBGridEh::setTitleColor(const QColor &color)
{
    m_model->setTitleColor(color);
    holdTitlePalette();
}

QList<int> DBGridEh::selectedRows() const
{
    QList<int> rows;
    const QModelIndexList selected = selectionModel()->selectedRows();
    for (const QModelIndex &index : selected)
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

int DBGridEh::currentColumnOrFirst() const
{
    if (currentIndex().isValid())
        return currentIndex().column();
    return m_model->columnCount() > 0 ? 0 : -1;
}

void DBGridEh::makeCurrent(int row, int column)
{
    if (column < 0)
        column = currentColumnOrFirst();
    m_model->catchUp();
    const QModelIndex index = m_model->index(row, column);
    if (!index.isValid())
        return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

void DBGridEh::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (previous.isValid() && current.column() != previous.column())
        m_searchText.clear();
    if (m_syncing || !current.isValid())
        return;
    QPointer<FbQuery> query = m_model->query();
    if (!query || !query->active() || query->currentRow() == current.row())
        return;
    m_syncing = true;
    m_model->guard([&] { query->setCurrentRow(current.row()); });
    m_syncing = false;
    if (query && query->currentRow() != current.row())
        followQuery();
}

void DBGridEh::followQuery()
{
    if (m_syncing)
        return;
    FbQuery *query = m_model->query();
    if (!query || !query->active())
        return;
    m_model->catchUp();
    const int row = query->currentRow();
    if (row < 0 || row >= m_model->rowCount() || currentIndex().row() == row)
        return;
    const QModelIndex index = m_model->index(row, currentColumnOrFirst());
    if (!index.isValid())
        return;
    m_syncing = true;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
    m_syncing = false;
}

void DBGridEh::applyColumnWidths()
{
    const int charWidth = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const int padding = charWidth + 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this);
    const int maxWidth = kMaxColumnChars * charWidth + padding;
    for (int column = 0; column < m_model->columnCount(); ++column) {
        const int chars = m_model->columnDisplayWidth(column);
        int width;
        if (chars > 0) {
            width = qMin(chars * charWidth + padding, maxWidth);
        } else {
            resizeColumnToContents(column);
            width = qMin(columnWidth(column), maxWidth);
        }
        setColumnWidth(column, qMax(width, horizontalHeader()->sectionSizeHint(column)));
    }
}

int DBGridEh::findPrefix(int column, const QString &text, int fromRow)
{
    QPointer<FbQuery> query = m_model->query();
    if (!query || !query->active() || text.isEmpty() || m_model->fieldOfColumn(column) < 0)
        return -1;
    GridSearchProgress progress(this);
    for (int row = qMax(fromRow, 0);; ++row) {
        if (row % kStepRows == 0 && (!progress.step(row) || !query || !query->active()))
            return -1;
        if (row >= m_model->rowCount()) {
            if (!m_model->canFetchMore(QModelIndex()) || !m_model->fetchRows(kSearchBatch)
                || row >= m_model->rowCount())
                return -1;
        }
        if (m_model->cellText(row, column).startsWith(text, Qt::CaseInsensitive))
            return row;
    }
}

void DBGridEh::keyboardSearch(const QString &search)
{
    if (!isPrintable(search)) {
        m_searchText.clear();
        return;
    }
    const QString wanted = m_searchText + search;
    const int column = currentColumnOrFirst();
    // A longer text cannot match above the row that its beginning found.
    const int rowsBefore = m_model->rowCount();
    m_searchTimer.stop();
    const int row = findPrefix(column, wanted, m_searchText.isEmpty() ? 0 : m_searchRow);
    // The pause that forgets the text counts from the answer: a long search is no pause.
    m_searchTimer.start();
    // A key that matches nothing is dropped, so the text typed so far still finds its row.
    if (row < 0) {
        // The rows read through in vain are not kept: a million of them would stay in memory.
        m_model->keepFirstRows(rowsBefore);
        QApplication::beep();
        return;
    }
    makeCurrent(row, column);
    m_searchText = wanted;
    m_searchRow = row;
}

GridFindDialog *DBGridEh::findDialog()
{
    if (!m_findDialog)
        m_findDialog = new GridFindDialog(this);
    return m_findDialog;
}

void DBGridEh::showFindDialog()
{
    GridFindDialog *dialog = findDialog();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

bool DBGridEh::event(QEvent *event)
{
    // Ctrl+F belongs to the grid while it has the focus, whatever the window's menus bind.
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Find)) {
        event->accept();
        return true;
    }
    return QTableView::event(event);
}

void DBGridEh::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Find)) {
        showFindDialog();
        event->accept();
        return;
    }

    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;

    if (key == Qt::Key_Backspace || key == Qt::Key_Escape) {
        // Escape with nothing typed goes on to the window (a dialog closes on it).
        const bool hadText = !m_searchText.isEmpty();
        m_searchText.clear();
        event->setAccepted(hadText);
        return;
    }

    const QString text = event->text();
    const bool plain = !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    // A leading blank stays the selection key; inside a search it is part of the text.
    if (plain && isPrintable(text) && !(text == QLatin1String(" ") && m_searchText.isEmpty())) {
        keyboardSearch(text);
        event->accept();
        return;
    }

    m_searchText.clear();

    // The fetched rows are not the end of the result: Ctrl+Home/End go to the query's own ends.
    if (modifiers == Qt::ControlModifier && (key == Qt::Key_Home || key == Qt::Key_End)) {
        if (FbQuery *query = m_model->query(); query && query->active()) {
            m_model->guard([&] { key == Qt::Key_Home ? query->first() : query->last(); });
            followQuery();
        }
        event->accept();
        return;
    }

    QTableView::keyPressEvent(event);
}
