#pragma once

#include "IsbnSource.h"

// Open Library's books API (JSON, no key): api/books?bibkeys=ISBN:…&jscmd=data&format=json.
class OpenLibrarySource : public IsbnSource
{
public:
    explicit OpenLibrarySource(const QString &address);
    QString name() const override;
    QNetworkRequest request(const QString &isbn13) const override;
    SourceAnswer read(const QByteArray &body, const QString &isbn13) const override;

private:
    QString m_address;
};
