#include "GivenSnapshot.h"

#include "DbWorker.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "GivenChanges.h"

namespace {
// Long enough for the list's first screen to be painted before the check competes with it.
constexpr int kCheckDelayMs = 30;

// What a check brings back to the window's thread.
struct Check {
    int connection = 0;
    std::optional<long long> count;
    bool read = false;
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
{
    setObjectName(name);
    m_worker->setObjectName(name + QStringLiteral("Worker"));
    m_soon.setSingleShot(true);
    m_soon.setInterval(kCheckDelayMs);
    connect(&m_soon, &QTimer::timeout, this, [this] {
        if (!m_db->connected())
            return;
        if (m_worker->running())
            m_checkAgain = true;
        else
            startChecking();
    });
    connect(m_worker, &DbWorker::finished, this, [this](const QVariant &check) { checkEnded(check, true); });
    connect(m_worker, &DbWorker::failed, this, [this] { checkEnded({}, false); });
    // Another library (or the same one made anew) may have the same count.
    connect(db, &FbDatabase::connectedChanged, this, [this] {
        ++m_connection;
        m_readAt.reset();
        m_soon.stop();
        m_worker->stop();
    });
}

void GivenSnapshot::refresh()
{
    if (!m_db->connected()) {
        m_readAt.reset();
        emit arrived({});
        return;
    }
    if (!m_soon.isActive())
        m_soon.start();
}

void GivenSnapshot::startChecking()
{
    m_checkAgain = false;
    m_worker->start([connection = m_connection, readAt = m_readAt, statement = m_statement,
                     build = m_build](DbWorker::Control &control) {
        Check check;
        check.connection = connection;
        check.count = GivenChanges::count(control.database());
        // Read before GIVEN: a change made while it is read is found at the next check.
        if (check.count && check.count == readAt)
            return QVariant::fromValue(check);
        check.read = true;
        try {
            FbQuery rows(&control.database());
            rows.setSqlText(statement);
            rows.open();
            rows.fetchAll();
            check.result = build(rows);
        } catch (const FbError &) {
            // An older library without GIVEN (or without the column read): nothing to keep.
        }
        return QVariant::fromValue(check);
    });
}

// A stopped or failed check leaves what was kept as it was.
void GivenSnapshot::checkEnded(const QVariant &result, bool ok)
{
    if (ok && result.canConvert<Check>()) {
        const Check check = result.value<Check>();
        if (check.connection == m_connection && m_db->connected()) {
            if (check.read) {
                m_readAt = check.count;
                emit arrived(check.result);
            }
            emit checked(check.read);
        }
    }
    if (m_checkAgain && m_db->connected())
        startChecking();
}
