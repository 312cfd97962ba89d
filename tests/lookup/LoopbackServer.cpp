#include "LoopbackServer.h"

#include <QFile>
#include <QTcpSocket>

LoopbackServer::LoopbackServer(QObject *parent) : QTcpServer(parent)
{
    listen(QHostAddress::LocalHost);
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QByteArray LoopbackServer::answer(const QString &answerFile)
{
    QFile file(QStringLiteral(BIBLIORA_ANSWERS_DIR "/") + answerFile);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no recorded answer %s", qPrintable(answerFile));
    return file.readAll();
}

void LoopbackServer::setRoute(const QString &pathPrefix, const Route &route)
{
    m_routes.insert(pathPrefix, route);
}

void LoopbackServer::serveFile(const QString &pathPrefix, const QString &answerFile, int status)
{
    const QByteArray body = answer(answerFile);
    setRoute(pathPrefix, [body, status](const QString &) { return Reply{status, body, false}; });
}

QString LoopbackServer::base(const QString &pathPrefix) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(pathPrefix);
}

void LoopbackServer::serve(QTcpSocket *socket)
{
    const QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n"))
        return;
    const QString target = QString::fromLatin1(request.split(' ').value(1));
    m_requests << target;
    Reply reply{404, "not here", false};
    for (auto it = m_routes.cbegin(); it != m_routes.cend(); ++it)
        if (target.startsWith(it.key()))
            reply = it.value()(target);
    if (reply.silent)
        return;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + " X\r\nContent-Type: text/plain; charset=utf-8\r\n"
                      "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\nConnection: close\r\n\r\n";
    socket->write(head + reply.body);
    socket->disconnectFromHost();
}
