#pragma once

#include "DataSource.h"
#include "FbQuery.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPointer>
#include <QVector>
#include <functional>

// One column of a grid: the field it shows, its title and its width in characters.
struct GridColumn {
    QString fieldName;
    QString title;
    int displayWidth = 0;
};

// The rows of a data source's query as a read-only table. Rows come from the query's cursor in
// batches as the view asks for them, so a huge result costs only what is on screen.
class QueryModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kFetchBatch = 100;

    explicit QueryModel(QObject *parent = nullptr);

    DataSource *dataSource() const { return m_source; }
    void setDataSource(DataSource *source);
    FbQuery *query() const;

    // Fixed columns; an empty list shows every field of the result, titled with its name.
    QVector<GridColumn> columns() const { return m_columns; }
    void setColumns(const QVector<GridColumn> &columns);
    bool hasFixedColumns() const { return m_fixedColumns; }
    void setColumnTitle(int column, const QString &title);
    QString columnTitle(int column) const;
    QString columnField(int column) const;
    int columnDisplayWidth(int column) const;
    // Index of the column's field in the result, -1 when the result lacks it.
    int fieldOfColumn(int column) const;

    QColor titleColor() const { return m_titleColor; }
    void setTitleColor(const QColor &color);

    // Extra cell data its owner adds beside the query's (a column computed beside it, a row
    // colour, a mark, a tooltip): a valid answer wins over the model's own. Called only for
    // fetched rows.
    using CellHook = std::function<QVariant(int row, int column, int role)>;
    void setCellHook(CellHook hook) { m_cellHook = std::move(hook); }
    // Whether a view shows the rows now; such a view gets its first batch with the reset.
    void setShownCheck(std::function<bool()> shown) { m_shown = std::move(shown); }

    // Text of a cell straight from the query; empty outside the result.
    QString cellText(int row, int column) const;

    // Fetches up to count more rows; false when the query failed (fetchFailed was emitted).
    bool fetchRows(int count);
    // Announces rows the query fetched on its own before this model heard of them.
    void catchUp();
    // Lets the query give back the rows after the first `rows` (see FbQuery::keepFirstRows).
    void keepFirstRows(int rows);
    // Runs a query action, turning a database error into fetchFailed.
    bool guard(const std::function<void()> &action);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

signals:
    void fetchFailed(const QString &message);
    // The set of columns (not only the rows) may have changed with the last reset.
    void columnsChanged();

private:
    void rebind();
    void reload();
    void appendRows(int last);
    void fetchFirstBatch();
    QStringList resolvedFields() const;

    QPointer<DataSource> m_source;
    QPointer<FbQuery> m_query;
    QVector<GridColumn> m_columns;
    bool m_fixedColumns = false;
    QVector<int> m_fieldIndex;
    int m_rowCount = 0;
    bool m_fetchBroken = false;
    bool m_resetting = false;
    std::function<bool()> m_shown;
    QColor m_titleColor{0x00, 0x80, 0x00};
    CellHook m_cellHook;
};
