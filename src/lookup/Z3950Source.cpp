#include "Z3950Source.h"

#include "MarcRecord.h"

#include <yaz/zoom.h>

#include <stdexcept>

namespace
{

constexpr int kRecordsRead = 5;
const char *const kRoot = "zoomRecords";

// The ZOOM objects of one search, destroyed whatever happens.
struct Zoom {
    ZOOM_options options = ZOOM_options_create();
    ZOOM_connection connection = nullptr;
    ZOOM_resultset results = nullptr;
    ~Zoom()
    {
        ZOOM_resultset_destroy(results);
        ZOOM_connection_destroy(connection);
        ZOOM_options_destroy(options);
    }
    void check() const
    {
        const char *message = nullptr;
        const char *info = nullptr;
        if (ZOOM_connection_error(connection, &message, &info))
            throw std::runtime_error(std::string(message ? message : "") + (info && *info ? std::string(": ") + info : ""));
    }
};

} // namespace

Z3950Source::Z3950Source(const QString &address)
{
    const qsizetype slash = address.indexOf(QLatin1Char('/'));
    m_host = slash < 0 ? address : address.left(slash);
    m_database = slash < 0 ? QStringLiteral("Default") : address.mid(slash + 1);
}

QString Z3950Source::name() const
{
    return QStringLiteral("Z39.50 ") + m_host.section(QLatin1Char(':'), 0, 0);
}

QNetworkRequest Z3950Source::request(const QString &) const
{
    return QNetworkRequest();
}

QByteArray Z3950Source::fetch(const QString &isbn13, int timeoutMs) const
{
    Zoom zoom;
    const QByteArray timeout = QByteArray::number(qMax(1, (timeoutMs + 999) / 1000));
    const QByteArray database = m_database.toUtf8();
    ZOOM_options_set(zoom.options, "timeout", timeout.constData());
    ZOOM_options_set(zoom.options, "preferredRecordSyntax", "usmarc");
    ZOOM_options_set(zoom.options, "databaseName", database.constData());
    zoom.connection = ZOOM_connection_create(zoom.options);
    ZOOM_connection_connect(zoom.connection, m_host.toUtf8().constData(), 0);
    zoom.check();
    // The ISBN is digits only, so the query needs no quoting.
    const QByteArray query = "@attr 1=7 " + isbn13.toLatin1();
    zoom.results = ZOOM_connection_search_pqf(zoom.connection, query.constData());
    zoom.check();
    QByteArray document = QByteArray("<") + kRoot + ">";
    const size_t count = qMin<size_t>(ZOOM_resultset_size(zoom.results), kRecordsRead);
    for (size_t i = 0; i < count; ++i) {
        ZOOM_record record = ZOOM_resultset_record(zoom.results, i);
        int length = 0;
        const char *xml = record ? ZOOM_record_get(record, "xml; charset=marc8,utf-8", &length) : nullptr;
        if (xml && length > 0) {
            QByteArray one(xml, length);
            if (one.startsWith("<?xml"))
                one = one.mid(one.indexOf("?>") + 2);
            document += one;
        }
    }
    zoom.check();
    return document + "</" + kRoot + ">";
}

SourceAnswer Z3950Source::read(const QByteArray &body, const QString &isbn13) const
{
    return MarcRecord::findIn(body, isbn13, QLatin1String(kRoot));
}
