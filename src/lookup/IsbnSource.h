#pragma once

#include "BookRecord.h"

#include <QNetworkRequest>
#include <QString>

// One online catalogue: the request for an ISBN and the reading of its answer.
class IsbnSource
{
public:
    virtual ~IsbnSource() = default;
    // The name the user sees ("Open Library", the address of an SRU server, …).
    virtual QString name() const = 0;
    virtual QNetworkRequest request(const QString &isbn13) const = 0;
    virtual SourceAnswer read(const QByteArray &body, const QString &isbn13) const = 0;
    // A source reached through a blocking library rather than HTTP: fetch() runs off the window's
    // thread and gives what read() takes; it throws std::runtime_error when the server cannot be reached.
    virtual bool blocking() const { return false; }
    virtual QByteArray fetch(const QString &isbn13, int timeoutMs) const
    {
        Q_UNUSED(isbn13);
        Q_UNUSED(timeoutMs);
        return {};
    }
};
