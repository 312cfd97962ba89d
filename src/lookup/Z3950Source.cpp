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

Z3950Source::Z3950Source(const QString &address, Syntax syntax) : m_syntax(syntax)
{
    const qsizetype slash = address.indexOf(QLatin1Char('/'));
    m_host = slash < 0 ? address : address.left(slash);
    m_database = slash < 0 ? QStringLiteral("Default") : address.mid(slash + 1);
}

QString Z3950Source::name() const
{
    return (m_syntax == Syntax::Unimarc ? QStringLiteral("Z39.50 UNIMARC ") : QStringLiteral("Z39.50 ")) +
           m_host.section(QLatin1Char(':'), 0, 0);
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
    ZOOM_options_set(zoom.options, "preferredRecordSyntax", m_syntax == Syntax::Unimarc ? "unimarc" : "usmarc");
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
        if (!record)
            continue;
        const char *charset = "marc8";
        if (m_syntax == Syntax::Unimarc) {
            const char *raw = ZOOM_record_get(record, "raw", &length);
            charset = unimarcCharset(raw ? QByteArray(raw, qMax(length, 0)) : QByteArray());
        }
        const QByteArray type = QByteArray("xml; charset=") + charset + ",utf-8";
        const char *xml = ZOOM_record_get(record, type.constData(), &length);
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

const char *Z3950Source::unimarcCharset(const QByteArray &iso2709)
{
    constexpr char kFieldEnd = '\x1e';
    constexpr int kEntry = 12;
    const int base = iso2709.mid(12, 5).toInt();
    QByteArray general;
    for (int at = 24; at + kEntry <= iso2709.size() && iso2709.at(at) != kFieldEnd; at += kEntry) {
        if (iso2709.mid(at, 3) == "100") {
            const int length = iso2709.mid(at + 3, 4).toInt();
            const int start = iso2709.mid(at + 7, 5).toInt();
            general = iso2709.mid(base + start, length);
            break;
        }
    }
    // Two indicators, then "\x1f" "a" and the coded data.
    const QByteArray code = general.mid(4 + 26, 2);
    if (code == "50")
        return "utf-8";
    if (code == "89")
        return "windows-1251";
    if (code == "79")
        return "cp866";
    if (code == "01")
        return "iso-8859-1";
    return "iso5426";
}

SourceAnswer Z3950Source::read(const QByteArray &body, const QString &isbn13) const
{
    return MarcRecord::findIn(body, isbn13, QLatin1String(kRoot));
}
