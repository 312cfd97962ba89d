#include "OpenLibrarySource.h"

#include "Isbn.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <QUrlQuery>

namespace {

QString firstName(const QJsonValue &list)
{
    return list.toArray().first().toObject().value(QLatin1String("name")).toString();
}

QString firstText(const QJsonValue &list)
{
    return list.toArray().first().toString();
}

} // namespace

OpenLibrarySource::OpenLibrarySource(const QString &address) : m_address(address) {}

QString OpenLibrarySource::name() const
{
    return QStringLiteral("Open Library");
}

QNetworkRequest OpenLibrarySource::request(const QString &isbn13) const
{
    QUrl url(m_address + QStringLiteral("/api/books"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("bibkeys"), QStringLiteral("ISBN:") + isbn13);
    query.addQueryItem(QStringLiteral("jscmd"), QStringLiteral("data"));
    query.addQueryItem(QStringLiteral("format"), QStringLiteral("json"));
    url.setQuery(query);
    return QNetworkRequest(url);
}

SourceAnswer OpenLibrarySource::read(const QByteArray &body, const QString &isbn13) const
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return {SourceAnswer::Kind::Garbage, {}};
    const QJsonObject all = doc.object();
    if (all.isEmpty())
        return {SourceAnswer::Kind::NotFound, {}};
    // The answer is keyed by the bibkey asked for; any other key is another book.
    const QJsonObject book = all.value(QStringLiteral("ISBN:") + isbn13).toObject();
    if (book.isEmpty())
        return {SourceAnswer::Kind::OtherIsbn, {}};
    BookRecord r;
    r.title = book.value(QLatin1String("title")).toString();
    const QString subtitle = book.value(QLatin1String("subtitle")).toString();
    if (!subtitle.isEmpty())
        r.title += QStringLiteral(": ") + subtitle;
    r.author = firstName(book.value(QLatin1String("authors")));
    r.year = RecordMapping::year(book.value(QLatin1String("publish_date")).toString());
    r.publisher = firstName(book.value(QLatin1String("publishers")));
    r.place = firstName(book.value(QLatin1String("publish_places")));
    r.genre = firstName(book.value(QLatin1String("subjects")));
    const QJsonValue notes = book.value(QLatin1String("notes"));
    r.description = notes.isObject() ? notes.toObject().value(QLatin1String("value")).toString() : notes.toString();
    const QJsonObject classes = book.value(QLatin1String("classifications")).toObject();
    r.clas = firstText(classes.value(QLatin1String("dewey_decimal_class")));
    r.coverUrl = book.value(QLatin1String("cover")).toObject().value(QLatin1String("medium")).toString();
    const QJsonObject ids = book.value(QLatin1String("identifiers")).toObject();
    for (const char *key : {"isbn_13", "isbn_10"})
        for (const QJsonValue &v : ids.value(QLatin1String(key)).toArray())
            if (const Isbn::Checked c = Isbn::check(v.toString()); c.ok())
                r.isbns << c.isbn13;
    if (r.isbns.isEmpty())
        r.isbns << isbn13; // the answer is keyed by the ISBN asked for
    if (r.title.isEmpty())
        return {SourceAnswer::Kind::Garbage, {}};
    if (!RecordMapping::carries(r, isbn13))
        return {SourceAnswer::Kind::OtherIsbn, {}};
    return {SourceAnswer::Kind::Found, r};
}
