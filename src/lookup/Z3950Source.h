#pragma once

#include "IsbnSource.h"

// A library catalogue over Z39.50 through YAZ's ZOOM client: a search by ISBN (Bib-1 use 7), records
// turned into MARCXML in UTF-8 by YAZ, then read as MARC 21 or UNIMARC. MARC 21 records come in
// MARC-8; a UNIMARC record names its character set in field 100 (ISO 5426 when it does not).
class Z3950Source : public IsbnSource
{
public:
    enum class Syntax { Marc21, Unimarc };
    // address: "host:port/database".
    explicit Z3950Source(const QString &address, Syntax syntax = Syntax::Marc21);
    // The character set YAZ decodes a UNIMARC record (ISO 2709) from, by its field 100 $a/26-27.
    static const char *unimarcCharset(const QByteArray &iso2709);
    QString name() const override;
    QNetworkRequest request(const QString &isbn13) const override;
    SourceAnswer read(const QByteArray &body, const QString &isbn13) const override;
    bool blocking() const override { return true; }
    QByteArray fetch(const QString &isbn13, int timeoutMs) const override;

private:
    QString m_host;
    QString m_database;
    Syntax m_syntax;
};
