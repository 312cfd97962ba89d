#include "GoogleBooksSource.h"

#include "Isbn.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <QUrlQuery>

GoogleBooksSource::GoogleBooksSource(const QString &address, const QString &apiKey)
    : m_address(address), m_apiKey(apiKey)
{
}

QString GoogleBooksSource::name() const
{
    return QStringLiteral("Google Books");
}

QNetworkRequest GoogleBooksSource::request(const QString &isbn13) const
{
    QUrl url(m_address + QStringLiteral("/books/v1/volumes"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("q"), QStringLiteral("isbn:") + isbn13);
    if (!m_apiKey.isEmpty())
        query.addQueryItem(QStringLiteral("key"), m_apiKey);
    url.setQuery(query);
    return QNetworkRequest(url);
}

SourceAnswer GoogleBooksSource::read(const QByteArray &body, const QString &isbn13) const
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject() ||
        !doc.object().contains(QLatin1String("totalItems")))
        return {SourceAnswer::Kind::Garbage, {}};
    const QJsonArray items = doc.object().value(QLatin1String("items")).toArray();
    if (items.isEmpty())
        return {SourceAnswer::Kind::NotFound, {}};
    // A search may answer with a near match; only a volume that carries the ISBN is the book.
    for (const QJsonValue &item : items) {
        const QJsonObject info = item.toObject().value(QLatin1String("volumeInfo")).toObject();
        BookRecord r;
        for (const QJsonValue &id : info.value(QLatin1String("industryIdentifiers")).toArray())
            if (const Isbn::Checked c = Isbn::check(id.toObject().value(QLatin1String("identifier")).toString());
                c.ok())
                r.isbns << c.isbn13;
        if (!RecordMapping::carries(r, isbn13))
            continue;
        r.title = info.value(QLatin1String("title")).toString();
        const QString subtitle = info.value(QLatin1String("subtitle")).toString();
        if (!subtitle.isEmpty())
            r.title += QStringLiteral(": ") + subtitle;
        r.author = info.value(QLatin1String("authors")).toArray().first().toString();
        r.year = RecordMapping::year(info.value(QLatin1String("publishedDate")).toString());
        r.publisher = info.value(QLatin1String("publisher")).toString();
        r.genre = info.value(QLatin1String("categories")).toArray().first().toString();
        r.description = info.value(QLatin1String("description")).toString();
        r.coverUrl = info.value(QLatin1String("imageLinks")).toObject().value(QLatin1String("thumbnail")).toString();
        if (r.title.isEmpty())
            return {SourceAnswer::Kind::Garbage, {}};
        return {SourceAnswer::Kind::Found, r};
    }
    return {SourceAnswer::Kind::OtherIsbn, {}};
}
