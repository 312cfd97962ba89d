#include "QueryModel.h"

#include "DataSource.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"

QueryModel::QueryModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void QueryModel::setDataSource(DataSource *source)
{
    if (m_source == source)
        return;
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (source) {
        connect(source, &DataSource::dataSetChanged, this, &QueryModel::rebind);
        connect(source, &DataSource::opened, this, &QueryModel::reload);
        connect(source, &DataSource::closed, this, &QueryModel::reload);
        connect(source, &DataSource::rowsFetched, this, [this](int, int last) { appendRows(last); });
        connect(source, &QObject::destroyed, this, &QueryModel::rebind);
    }
    rebind();
}

FbQuery *QueryModel::query() const
{
    return m_query;
}

void QueryModel::rebind()
{
    if (m_query)
        disconnect(m_query, nullptr, this, nullptr);
    m_query = m_source ? m_source->dataSet() : nullptr;
    // The source only holds a weak pointer; a deleted query must empty the grid at once.
    if (m_query)
        connect(m_query, &QObject::destroyed, this, &QueryModel::reload);
    reload();
}

QStringList QueryModel::resolvedFields() const
{
    if (m_fixedColumns) {
        QStringList names;
        for (const GridColumn &column : m_columns)
            names << column.fieldName;
        return names;
    }
    return m_query && m_query->active() ? m_query->fieldNames() : QStringList();
}

void QueryModel::reload()
{
    beginResetModel();
    bool columnSetChanged = false;
    const QStringList fields = resolvedFields();
    if (!m_fixedColumns) {
        QStringList before;
        for (const GridColumn &column : std::as_const(m_columns))
            before << column.fieldName;
        columnSetChanged = before != fields;
        if (columnSetChanged) {
            m_columns.clear();
            for (const QString &name : fields)
                m_columns.append({name, name, 0});
        }
    }
    m_fieldIndex.clear();
    const bool active = m_query && m_query->active();
    for (const QString &name : fields)
        m_fieldIndex.append(active ? m_query->fieldIndex(name) : -1);
    m_fetchBroken = false;
    if (active && m_shown && m_shown())
        fetchFirstBatch();
    m_rowCount = active ? m_query->fetchedCount() : 0;
    endResetModel();
    if (columnSetChanged)
        emit columnsChanged();
}

// A shown view asks for a batch at once when an opening brings one row; taking it inside the
// reset spares the view a layout for that one row, and the scroll bar a change there and back.
void QueryModel::fetchFirstBatch()
{
    if (m_query->fetchedCount() >= kFetchBatch || m_query->allFetched())
        return;
    m_resetting = true;
    guard([&] { m_query->fetchMore(kFetchBatch); });
    m_resetting = false;
}

void QueryModel::setColumns(const QVector<GridColumn> &columns)
{
    m_fixedColumns = !columns.isEmpty();
    m_columns = columns;
    reload();
    emit columnsChanged();
}

void QueryModel::setColumnTitle(int column, const QString &title)
{
    if (column < 0 || column >= m_columns.size() || m_columns[column].title == title)
        return;
    m_columns[column].title = title;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

QString QueryModel::columnTitle(int column) const
{
    return m_columns.value(column).title;
}

QString QueryModel::columnField(int column) const
{
    return m_columns.value(column).fieldName;
}

int QueryModel::columnDisplayWidth(int column) const
{
    return m_columns.value(column).displayWidth;
}

int QueryModel::fieldOfColumn(int column) const
{
    return m_fieldIndex.value(column, -1);
}

void QueryModel::setTitleColor(const QColor &color)
{
    m_titleColor = color;
    if (!m_columns.isEmpty())
        emit headerDataChanged(Qt::Horizontal, 0, int(m_columns.size()) - 1);
}

QString QueryModel::cellText(int row, int column) const
{
    const int field = fieldOfColumn(column);
    if (!m_query || field < 0 || row < 0 || row >= m_rowCount || row >= m_query->fetchedCount())
        return {};
    return FbQuery::displayText(m_query->value(row, field));
}

bool QueryModel::guard(const std::function<void()> &action)
{
    try {
        action();
        return true;
    } catch (const FbError &e) {
        // A cursor that failed once fails again; asking the view to retry would loop.
        m_fetchBroken = true;
        emit fetchFailed(e.message());
    } catch (const std::exception &e) {
        m_fetchBroken = true;
        emit fetchFailed(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

bool QueryModel::fetchRows(int count)
{
    if (!canFetchMore(QModelIndex()))
        return false;
    const bool ok = guard([&] { m_query->fetchMore(count); });
    catchUp();
    return ok;
}

void QueryModel::keepFirstRows(int rows)
{
    if (!m_query || !m_query->active() || m_query->fetchedCount() <= rows)
        return;
    if (!guard([&] { m_query->keepFirstRows(rows); }) || !m_query->active()) {
        reload();
        return;
    }
    const int kept = m_query->fetchedCount();
    if (kept < m_rowCount) {
        beginRemoveRows(QModelIndex(), kept, m_rowCount - 1);
        m_rowCount = kept;
        endRemoveRows();
    }
    catchUp();
}

void QueryModel::catchUp()
{
    if (m_query && m_query->active())
        appendRows(m_query->fetchedCount() - 1);
}

void QueryModel::appendRows(int last)
{
    if (!m_query || m_resetting)
        return;
    last = qMin(last, m_query->fetchedCount() - 1);
    if (last < m_rowCount)
        return;
    beginInsertRows(QModelIndex(), m_rowCount, last);
    m_rowCount = last + 1;
    endInsertRows();
}

int QueryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int QueryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant QueryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (m_cellHook && m_query && index.row() < m_rowCount && index.row() < m_query->fetchedCount()) {
        const QVariant extra = m_cellHook(index.row(), index.column(), role);
        if (extra.isValid())
            return extra;
    }
    switch (role) {
    case Qt::DisplayRole:
        return cellText(index.row(), index.column());
    case Qt::TextAlignmentRole: {
        const int field = fieldOfColumn(index.column());
        if (!m_query || field < 0 || index.row() >= m_query->fetchedCount())
            return {};
        switch (m_query->value(index.row(), field).typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::Double:
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return {};
        }
    }
    default:
        return {};
    }
}

QVariant QueryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return columnTitle(section);
    case Qt::ForegroundRole:
        return QBrush(m_titleColor);
    case Qt::FontRole: {
        QFont font;
        font.setBold(true);
        return font;
    }
    default:
        return {};
    }
}

Qt::ItemFlags QueryModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

bool QueryModel::canFetchMore(const QModelIndex &parent) const
{
    // While another thread waits on the attachment (a list's first row), a fetch would hold the
    // window until it is done; the view asks again at its next layout.
    return !parent.isValid() && m_query && m_query->active() && !m_query->allFetched() && !m_fetchBroken &&
           !(m_query->database() && m_query->database()->usedOffThread());
}

void QueryModel::fetchMore(const QModelIndex &parent)
{
    if (!parent.isValid())
        fetchRows(kFetchBatch);
}
