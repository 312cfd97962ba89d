#pragma once

#include "IsbnSource.h"

// A library catalogue over Z39.50 through YAZ's ZOOM client: a search by ISBN (Bib-1 use 7), records
// in USMARC turned into MARCXML in UTF-8 by YAZ (MARC-8 decoded), then read as MARC 21 or UNIMARC.
class Z3950Source : public IsbnSource
{
public:
    // address: "host:port/database".
    explicit Z3950Source(const QString &address);
    QString name() const override;
    QNetworkRequest request(const QString &isbn13) const override;
    SourceAnswer read(const QByteArray &body, const QString &isbn13) const override;
    bool blocking() const override { return true; }
    QByteArray fetch(const QString &isbn13, int timeoutMs) const override;

private:
    QString m_host;
    QString m_database;
};
