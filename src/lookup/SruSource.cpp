#include "SruSource.h"

#include "MarcRecord.h"

#include <QUrl>
#include <QUrlQuery>
#include <QXmlStreamReader>

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
    QXmlStreamReader xml(body);
    bool response = false;
    bool anyRecord = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("searchRetrieveResponse"))
            response = true;
        // MARCXML records sit inside recordData; the outer SRU <record> holds them.
        if (xml.name() == QLatin1String("record") &&
            xml.namespaceUri() == QLatin1String("http://www.loc.gov/MARC21/slim")) {
            const MarcRecord marc = MarcRecord::read(xml);
            anyRecord = true;
            BookRecord book = marc.book();
            // A catalogue that does not repeat the ISBN in the record is taken at its word.
            if (book.isbns.isEmpty())
                book.isbns << isbn13;
            if (RecordMapping::carries(book, isbn13) && !book.title.isEmpty())
                return {SourceAnswer::Kind::Found, book};
        }
    }
    if (xml.hasError() || !response)
        return {SourceAnswer::Kind::Garbage, {}};
    return {anyRecord ? SourceAnswer::Kind::OtherIsbn : SourceAnswer::Kind::NotFound, {}};
}
