#include "CoverFetch.h"

#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

CoverFetch::CoverFetch(QObject *parent) : QObject(parent), m_network(new QNetworkAccessManager(this)) {}

void CoverFetch::fetch(const QString &url)
{
    stop();
    const QUrl address(url);
    if (!address.isValid() || (address.scheme() != QLatin1String("http") && address.scheme() != QLatin1String("https"))) {
        emit failed();
        return;
    }
    QNetworkRequest request(address);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Bibliora/2.3"));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(kTimeoutMs);
    QNetworkReply *reply = m_network->get(request);
    m_reply = reply;
    // A huge answer is cut off as soon as it says or shows its size.
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
        if (received > kMaxBytes || total > kMaxBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, &CoverFetch::replied);
}

void CoverFetch::stop()
{
    if (QNetworkReply *reply = m_reply) {
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

bool CoverFetch::isPicture(const QByteArray &bytes)
{
    if (bytes.isEmpty() || bytes.size() > kMaxBytes)
        return false;
    QImage image;
    return image.loadFromData(bytes) && !image.isNull();
}

void CoverFetch::replied()
{
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    if (!reply)
        return;
    reply->deleteLater();
    const QByteArray bytes = reply->error() == QNetworkReply::NoError ? reply->readAll() : QByteArray();
    if (isPicture(bytes))
        emit fetched(bytes);
    else
        emit failed();
}
