#include "DataSource.h"

#include "FbQuery.h"

DataSource::DataSource(QObject *parent)
    : QObject(parent)
{
    for (auto signal : {&DataSource::dataSetChanged, &DataSource::opened, &DataSource::closed})
        connect(this, signal, this, &DataSource::changed);
    connect(this, &DataSource::currentRowChanged, this, &DataSource::changed);
}

void DataSource::setDataSet(FbQuery *query)
{
    if (m_dataSet == query)
        return;
    if (m_dataSet)
        disconnect(m_dataSet, nullptr, this, nullptr);
    m_dataSet = query;
    if (query) {
        connect(query, &FbQuery::opened, this, &DataSource::opened);
        connect(query, &FbQuery::closed, this, &DataSource::closed);
        connect(query, &FbQuery::currentRowChanged, this, &DataSource::currentRowChanged);
        connect(query, &FbQuery::rowsFetched, this, &DataSource::rowsFetched);
    }
    emit dataSetChanged();
}
