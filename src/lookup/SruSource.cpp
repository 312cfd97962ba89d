#include "SruSource.h"

#include "MarcRecord.h"

#include <QUrl>
#include <QUrlQuery>

SruSource::SruSource(const QString &address) : m_address(address) {}

QString SruSource::name() const
{
    return QStringLiteral("SRU ") + QUrl(m_address).host();
}

QNetworkRequest SruSource::request(const QString &isbn13) const
{
    QUrl url(m_address);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("version"), QStringLiteral("1.1"));
    query.addQueryItem(QStringLiteral("operation"), QStringLiteral("searchRetrieve"));
    query.addQueryItem(QStringLiteral("query"), QStringLiteral("bath.isbn=") + isbn13);
    query.addQueryItem(QStringLiteral("maximumRecords"), QStringLiteral("5"));
    query.addQueryItem(QStringLiteral("recordSchema"), QStringLiteral("marcxml"));
    url.setQuery(query);
    return QNetworkRequest(url);
}

SourceAnswer SruSource::read(const QByteArray &body, const QString &isbn13) const
{
    return MarcRecord::findIn(body, isbn13, QLatin1String("searchRetrieveResponse"));
}
