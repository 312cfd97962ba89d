#pragma once

#include "IsbnSource.h"

// A library catalogue over SRU answering in MARCXML (MARC 21 or UNIMARC).
class SruSource : public IsbnSource
{
public:
    // address: the server's base URL ("http://host:port/database").
    explicit SruSource(const QString &address);
    QString name() const override;
    QNetworkRequest request(const QString &isbn13) const override;
    SourceAnswer read(const QByteArray &body, const QString &isbn13) const override;

private:
    QString m_address;
};
