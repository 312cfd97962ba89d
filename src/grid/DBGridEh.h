#pragma once

#include "DataSource.h"
#include "QueryModel.h"

#include <QPointer>
#include <QTableView>
#include <QTimer>

class FbQuery;
class GridFindDialog;

// A read-only grid over a data source. Its current row is the query's current row: moving in
// the grid moves the query and a move of the query moves the grid. Typing searches the current
// column; Ctrl+F opens the find dialog.
class DBGridEh : public QTableView
{
    Q_OBJECT
public:
    static constexpr int kSearchResetMs = 1500;
    // Wide fields (a 255-character description) would push every other column off screen.
    static constexpr int kMaxColumnChars = 40;

    explicit DBGridEh(QWidget *parent = nullptr);
    ~DBGridEh() override;

    DataSource *dataSource() const;
    void setDataSource(DataSource *source);
    FbQuery *query() const;
    QueryModel *queryModel() const { return m_model; }

    void setColumns(const QVector<GridColumn> &columns);
    void setColumnTitle(int column, const QString &title);
    void setTitleColor(const QColor &color);
    // Titles that answer a click with titleClicked; off by default.
    void setTitlesClickable(bool clickable);
    // The field a column shows.
    QString columnField(int column) const;

    // Selected row numbers in ascending order.
    QList<int> selectedRows() const;
    // Makes row current (query included); column -1 keeps the current column.
    void makeCurrent(int row, int column = -1);

    // The text typed so far for the incremental search.
    QString searchText() const { return m_searchText; }
    // The first row, from fromRow down, whose text in column starts with text (any case); -1 if
    // none or the user stopped the search. Fetches rows as far as needed, in steps that keep the
    // window alive (GridSearchProgress).
    int findPrefix(int column, const QString &text, int fromRow = 0);
    void keyboardSearch(const QString &search) override;

    GridFindDialog *findDialog();

    // A short note shown in the middle of the list ("Nothing found"), until the list is re-run.
    QString statusText() const { return m_statusText; }
    void setStatusText(const QString &text);

public slots:
    void showFindDialog();

signals:
    // The query failed while the grid fetched rows or moved it.
    void fetchFailed(const QString &message);
    // The title of the column showing this field was clicked.
    void titleClicked(const QString &fieldName);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void followQuery();
    void applyColumnWidths();
    int currentColumnOrFirst() const;
    void holdTitlePalette();
    void drawGridLines(const QRegion &region);

    QueryModel *m_model;
    QPointer<DataSource> m_source;
    QPointer<GridFindDialog> m_findDialog;
    QTimer m_searchTimer;
    QString m_searchText;
    QString m_statusText;
    // The row that m_searchText found: no row above it starts with that text.
    int m_searchRow = 0;
    bool m_syncing = false;
};
