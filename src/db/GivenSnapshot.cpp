#include "GivenSnapshot.h"

#include "DbWorker.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"

namespace {
// What a read brings back to the window's thread.
struct Read {
    int connection = 0;
    QVariant result;
};
} // namespace

GivenSnapshot::GivenSnapshot(FbDatabase *db, const QString &statement, Build build, const QString &name,
                             QObject *parent)
    : QObject(parent)
    , m_db(db)
    , m_statement(statement)
    , m_build(std::move(build))
    , m_worker(new DbWorker(db, this))
    , m_changes(db, this, name + QStringLiteral("Changes"))
{
    m_worker->setObjectName(name + QStringLiteral("Worker"));
    connect(m_worker, &DbWorker::finished, this, [this](const QVariant &read) { readEnded(read, true); });
    connect(m_worker, &DbWorker::failed, this, [this] { readEnded({}, false); });
    // Another library (or the same one made anew) may have the same count.
    connect(db, &FbDatabase::connectedChanged, this, [this] {
        ++m_connection;
        m_changes.forget();
        m_worker->stop();
    });
}

void GivenSnapshot::refresh()
{
    if (m_db->usedOffThread())
        return;
    if (!m_db->connected()) {
        m_changes.forget();
        emit arrived({});
        return;
    }
    if (!m_changes.readNow())
        return;
    if (m_worker->running())
        m_readAgain = true;
    else
        startReading();
}

void GivenSnapshot::startReading()
{
    m_readAgain = false;
    const int connection = m_connection;
    m_worker->start([connection, statement = m_statement, build = m_build](DbWorker::Control &control) {
        QVariant result;
        try {
            FbQuery rows(&control.database());
            rows.setSqlText(statement);
            rows.open();
            rows.fetchAll();
            result = build(rows);
        } catch (const FbError &) {
            // An older library without GIVEN (or without the column read): nothing to keep.
        }
        return QVariant::fromValue(Read{connection, result});
    });
}

// A stopped or failed read leaves what was kept as it was.
void GivenSnapshot::readEnded(const QVariant &read, bool ok)
{
    if (ok && read.canConvert<Read>()) {
        const Read r = read.value<Read>();
        if (r.connection == m_connection && m_db->connected())
            emit arrived(r.result);
    }
    if (m_readAgain && m_db->connected())
        startReading();
}
