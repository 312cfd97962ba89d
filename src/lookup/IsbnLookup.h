#pragma once

#include "BookRecord.h"
#include "SourceList.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <vector>

class IsbnSource;
class QNetworkAccessManager;
class QNetworkReply;
class DbWorker;

// Asks the catalogues that are on, one after another, until one knows the ISBN. Nothing is sent
// until start(); each request has its own time-out; stop() drops the one under way.
class IsbnLookup : public QObject
{
    Q_OBJECT
public:
    enum class Outcome { Found, NotFound, Offline, Stopped };
    enum class SourceResult { Found, NotFound, TimedOut, Garbage, OtherIsbn, Unreachable, HttpError };

    explicit IsbnLookup(QObject *parent = nullptr);
    ~IsbnLookup() override;

    void setSources(const SourceList &list);
    // What the library holds: a found record is fitted to it (a Unicode library keeps accents).
    void setLibraryCharset(const ConnectionCharset &charset) { m_charset = charset; }
    // Asks from the source at index first on (0: from the start; after a find, its index + 1 tries the next).
    void start(const QString &isbn13, int first = 0);
    void stop();
    bool running() const { return !m_reply.isNull() || !m_worker.isNull(); }
    int sourceCount() const { return static_cast<int>(m_sources.size()); }
    QString sourceName(int index) const;

signals:
    void asking(const QString &sourceName);
    void sourceAnswered(const QString &sourceName, IsbnLookup::SourceResult result);
    void found(const BookRecord &record, const QString &sourceName, int sourceIndex);
    void finishedWithout(IsbnLookup::Outcome outcome);

private:
    void askNext();
    void replied();

    QNetworkAccessManager *m_network;
    void askBlocking(const std::shared_ptr<IsbnSource> &source);
    void answered(SourceAnswer answer, SourceResult result);

    std::vector<std::shared_ptr<IsbnSource>> m_sources;
    int m_timeoutMs = 5000;
    QString m_isbn;
    int m_current = -1;
    ConnectionCharset m_charset;
    bool m_anyAnswered = false;
    bool m_timedOut = false;
    QPointer<QNetworkReply> m_reply;
    // The worker of a blocking source's request; a new one per request, as a stopped one may
    // still be waiting on its server.
    QPointer<DbWorker> m_worker;
    QTimer m_timer;
};
