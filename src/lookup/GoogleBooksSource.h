#pragma once

#include "IsbnSource.h"

// Google Books' volumes by ISBN (JSON), with an optional API key.
class GoogleBooksSource : public IsbnSource
{
public:
    GoogleBooksSource(const QString &address, const QString &apiKey);
    QString name() const override;
    QNetworkRequest request(const QString &isbn13) const override;
    SourceAnswer read(const QByteArray &body, const QString &isbn13) const override;

private:
    QString m_address;
    QString m_apiKey;
};
