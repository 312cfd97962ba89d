#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>

class QNetworkAccessManager;
class QNetworkReply;

// The cover picture a catalogue names for the book it found, fetched right after that lookup
// (never otherwise), with the lookups' time-out and a limit on its size.
class CoverFetch : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 kMaxBytes = 2 * 1024 * 1024;
    static constexpr int kTimeoutMs = 5000;

    explicit CoverFetch(QObject *parent = nullptr);
    // An http or https address; any other is refused at once (failed()).
    void fetch(const QString &url);
    void stop();
    bool running() const { return !m_reply.isNull(); }

    // A picture the program can show, no larger than kMaxBytes: what is stored as a cover.
    static bool isPicture(const QByteArray &bytes);

signals:
    void fetched(const QByteArray &picture);
    // No picture: not found, too large, not a picture, timed out or stopped.
    void failed();

private:
    void replied();

    QNetworkAccessManager *m_network;
    QPointer<QNetworkReply> m_reply;
};
