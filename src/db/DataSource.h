#pragma once

#include <QObject>
#include <QPointer>

class FbQuery;

// The link between a query and the widgets that show it. Widgets bind to a data source, so
// that the query behind it can change (the navigator follows the active page's list).
class DataSource : public QObject
{
    Q_OBJECT
public:
    explicit DataSource(QObject *parent = nullptr);

    FbQuery *dataSet() const { return m_dataSet; }
    void setDataSet(FbQuery *query);

signals:
    // The query behind the source was replaced.
    void dataSetChanged();
    void opened();
    void closed();
    void currentRowChanged(int row);
    void rowsFetched(int first, int last);
    // Query replaced, opened, closed or current row moved: for widgets that show the current state.
    void changed();

private:
    QPointer<FbQuery> m_dataSet;
};
