#pragma once

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QTcpServer>

#include <functional>

// A small HTTP server on 127.0.0.1 that serves recorded catalogue answers.
class LoopbackServer : public QTcpServer
{
    Q_OBJECT
public:
    struct Reply {
        int status = 200;
        QByteArray body;
        bool silent = false; // never answers: a catalogue that hangs
    };
    // Gets the request target ("/ol/api/books?bibkeys=…"), gives the reply.
    using Route = std::function<Reply(const QString &target)>;

    explicit LoopbackServer(QObject *parent = nullptr);
    void setRoute(const QString &pathPrefix, const Route &route);
    // Serves a file of the recorded answers for every request under the prefix.
    void serveFile(const QString &pathPrefix, const QString &answerFile, int status = 200);
    QString base(const QString &pathPrefix) const;
    QStringList requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }
    static QByteArray answer(const QString &answerFile);

private:
    void serve(QTcpSocket *socket);

    QHash<QString, Route> m_routes;
    QStringList m_requests;
};
