#include "IsbnLookup.h"

#include "GoogleBooksSource.h"
#include "OpenLibrarySource.h"
#include "SruSource.h"
#include "Z3950Source.h"
#include "DbWorker.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

IsbnLookup::IsbnLookup(QObject *parent) : QObject(parent), m_network(new QNetworkAccessManager(this))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_reply) {
            m_timedOut = true;
            m_reply->abort();
        } else if (DbWorker *worker = m_worker) {
            // The worker finishes on its own once its server gives up; its answer is not waited for.
            m_worker = nullptr;
            worker->disconnect(this);
            worker->stop();
            answered({}, SourceResult::TimedOut);
        }
    });
}

IsbnLookup::~IsbnLookup()
{
    stop();
}

void IsbnLookup::setSources(const SourceList &list)
{
    stop();
    m_sources.clear();
    m_timeoutMs = list.timeoutMs;
    for (const SourceSetting &s : list.sources) {
        if (!s.on)
            continue;
        switch (s.kind) {
        case SourceSetting::Kind::OpenLibrary:
            m_sources.push_back(std::make_shared<OpenLibrarySource>(s.address));
            break;
        case SourceSetting::Kind::GoogleBooks:
            m_sources.push_back(std::make_shared<GoogleBooksSource>(s.address, list.googleKey));
            break;
        case SourceSetting::Kind::Sru:
            m_sources.push_back(std::make_shared<SruSource>(s.address));
            break;
        case SourceSetting::Kind::Z3950:
            m_sources.push_back(std::make_shared<Z3950Source>(s.address));
            break;
        case SourceSetting::Kind::Z3950Unimarc:
            m_sources.push_back(std::make_shared<Z3950Source>(s.address, Z3950Source::Syntax::Unimarc));
            break;
        }
    }
}

QString IsbnLookup::sourceName(int index) const
{
    return index >= 0 && index < sourceCount() ? m_sources[static_cast<size_t>(index)]->name() : QString();
}

void IsbnLookup::start(const QString &isbn13, int first)
{
    stop();
    m_isbn = isbn13;
    m_current = first - 1;
    m_anyAnswered = false;
    askNext();
}

void IsbnLookup::stop()
{
    m_timer.stop();
    if (QNetworkReply *reply = m_reply) {
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
        emit finishedWithout(Outcome::Stopped);
    } else if (DbWorker *worker = m_worker) {
        m_worker = nullptr;
        worker->disconnect(this);
        worker->stop();
        emit finishedWithout(Outcome::Stopped);
    }
}

void IsbnLookup::askBlocking(const std::shared_ptr<IsbnSource> &source)
{
    auto *worker = new DbWorker(nullptr, this);
    m_worker = worker;
    connect(worker, &DbWorker::finished, worker, &QObject::deleteLater);
    connect(worker, &DbWorker::failed, worker, &QObject::deleteLater);
    connect(worker, &DbWorker::finished, this, [this, source](const QVariant &result) {
        m_timer.stop();
        m_worker = nullptr;
        m_anyAnswered = true;
        const SourceAnswer answer = source->read(result.toByteArray(), m_isbn);
        static const SourceResult results[] = {SourceResult::Found, SourceResult::NotFound, SourceResult::Garbage,
                                               SourceResult::OtherIsbn};
        answered(answer, results[static_cast<int>(answer.kind)]);
    });
    connect(worker, &DbWorker::failed, this, [this](const QString &, bool) {
        m_timer.stop();
        m_worker = nullptr;
        answered({}, SourceResult::Unreachable);
    });
    const QString isbn = m_isbn;
    const int timeoutMs = m_timeoutMs;
    worker->start([source, isbn, timeoutMs](DbWorker::Control &) { return QVariant(source->fetch(isbn, timeoutMs)); });
    m_timer.start(m_timeoutMs + 1000);
}

void IsbnLookup::askNext()
{
    ++m_current;
    if (m_current >= sourceCount()) {
        emit finishedWithout(m_anyAnswered ? Outcome::NotFound : Outcome::Offline);
        return;
    }
    const IsbnSource &source = *m_sources[static_cast<size_t>(m_current)];
    m_timedOut = false;
    if (source.blocking()) {
        emit asking(source.name());
        askBlocking(m_sources[static_cast<size_t>(m_current)]);
        return;
    }
    QNetworkRequest request = source.request(m_isbn);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Bibliora/2.3"));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    m_timedOut = false;
    emit asking(source.name());
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::finished, this, &IsbnLookup::replied);
    m_timer.start(m_timeoutMs);
}

void IsbnLookup::replied()
{
    QNetworkReply *reply = m_reply;
    if (!reply)
        return;
    m_timer.stop();
    m_reply = nullptr;
    reply->deleteLater();
    const IsbnSource &source = *m_sources[static_cast<size_t>(m_current)];
    SourceResult result = SourceResult::NotFound;
    SourceAnswer answer;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (m_timedOut) {
        result = SourceResult::TimedOut;
    } else if (status == 404) {
        // Some catalogues say "no such book" with 404.
        m_anyAnswered = true;
        result = SourceResult::NotFound;
    } else if (reply->error() != QNetworkReply::NoError) {
        const bool http = status != 0;
        m_anyAnswered = m_anyAnswered || http;
        result = http ? SourceResult::HttpError : SourceResult::Unreachable;
    } else {
        m_anyAnswered = true;
        answer = source.read(reply->readAll(), m_isbn);
        switch (answer.kind) {
        case SourceAnswer::Kind::Found:
            result = SourceResult::Found;
            break;
        case SourceAnswer::Kind::NotFound:
            result = SourceResult::NotFound;
            break;
        case SourceAnswer::Kind::Garbage:
            result = SourceResult::Garbage;
            break;
        case SourceAnswer::Kind::OtherIsbn:
            result = SourceResult::OtherIsbn;
            break;
        }
    }
    answered(answer, result);
}

void IsbnLookup::answered(SourceAnswer answer, SourceResult result)
{
    const QString name = sourceName(m_current);
    emit sourceAnswered(name, result);
    if (result == SourceResult::Found) {
        emit found(RecordMapping::fitted(answer.record, m_charset), name, m_current);
        return;
    }
    askNext();
}
