#include "LentMark.h"

#include "DBGridEh.h"
#include "DbWorker.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "ForgivingSearch.h"
#include "LangStr.h"

#include <QBrush>
#include <QLocale>
#include <QTimer>

namespace
{
const QColor kLentColour(0xFF, 0xE4, 0xB5);
}

LentMark::LentMark(DBGridEh *grid, FbDatabase *db, QObject *parent)
    : QObject(parent), m_grid(grid), m_db(db), m_reader(new DbWorker(db, this)), m_changes(db, this, "LentChangesQuery")
{
    m_shown = !ForgivingSearch::flag(kHideKey);
    m_reader->setObjectName(QStringLiteral("LentWorker"));
    connect(m_reader, &DbWorker::finished, this, &LentMark::loansArrived);
    connect(m_reader, &DbWorker::failed, this, [this] { loansArrived({}); });
    grid->queryModel()->setCellHook([this](int row, int column, int role) { return cellRole(row, column, role); });
    if (FbTransaction *tr = db->defaultTransaction())
        connect(tr, &FbTransaction::changesCommitted, this, &LentMark::refreshSoon);
    // Another library (or the same one made anew) may have the same count.
    connect(db, &FbDatabase::connectedChanged, this, [this] {
        ++m_connection;
        m_changes.forget();
        refreshSoon();
    });
    if (FbQuery *list = grid->query())
        connect(list, &FbQuery::opened, this, &LentMark::refreshSoon);
}

bool LentMark::shown() const
{
    return m_shown;
}

void LentMark::setShown(bool on)
{
    m_shown = on;
    ForgivingSearch::setFlag(kHideKey, !on);
    m_grid->viewport()->update();
}

std::optional<LentMark::Loan> LentMark::loanOf(qint64 id) const
{
    const auto it = m_lent.constFind(id);
    return it == m_lent.cend() ? std::nullopt : std::optional<Loan>(*it);
}

// Several changes in one event (a lend logs, writes and re-runs) read GIVEN once.
void LentMark::refreshSoon()
{
    if (m_pending)
        return;
    m_pending = true;
    QTimer::singleShot(0, this, [this] {
        m_pending = false;
        refresh();
    });
}

void LentMark::refresh()
{
    // The counter is read on the window's attachment, which the book list may be waiting on;
    // its opening refreshes the marks.
    if (m_db->usedOffThread())
        return;
    if (!m_db->connected()) {
        m_changes.forget();
        m_reader->stop();
        m_lent.clear();
        m_grid->viewport()->update();
        return;
    }
    if (!m_changes.readNow())
        return;
    if (m_reader->running())
        m_readAgain = true;
    else
        startReading();
}

void LentMark::startReading()
{
    m_readAgain = false;
    const int connection = m_connection;
    m_reader->start([connection](DbWorker::Control &control) {
        Loans lent;
        try {
            FbQuery loans(&control.database());
            loans.setSqlText(QStringLiteral("SELECT given_id, given_to, given_date FROM given"));
            loans.open();
            loans.fetchAll();
            for (int r = 0; r < loans.fetchedCount(); ++r)
                lent.insert(loans.value(r, 0).toLongLong(), {loans.value(r, 1).toString(), loans.value(r, 2).toDate()});
        } catch (const FbError &) {
            // A library of the older kind has no GIVEN yet: nothing is lent.
        }
        return QVariant::fromValue(ReadLoans{connection, lent});
    });
}

// A failed or stopped read (an invalid value) leaves the marks as they were.
void LentMark::loansArrived(const QVariant &loans)
{
    if (loans.canConvert<ReadLoans>()) {
        const ReadLoans read = loans.value<ReadLoans>();
        if (read.connection == m_connection && m_db->connected()) {
            m_lent = read.loans;
            m_grid->viewport()->update();
        }
    }
    if (m_readAgain && m_db->connected())
        startReading();
}

QVariant LentMark::cellRole(int row, int column, int role) const
{
    if ((role != Qt::BackgroundRole && role != Qt::ToolTipRole) || m_lent.isEmpty() ||
        !m_shown || m_grid->columnField(column).compare(QLatin1String("TITLE"), Qt::CaseInsensitive) != 0)
        return {};
    const FbQuery *list = m_grid->query();
    const int idField = list ? list->fieldIndex(QStringLiteral("ID")) : -1;
    if (idField < 0 || row >= list->fetchedCount())
        return {};
    const std::optional<Loan> loan = loanOf(list->value(row, idField).toLongLong());
    if (!loan)
        return {};
    if (role == Qt::BackgroundRole)
        return QBrush(kLentColour);
    return LangStr(QStringLiteral("hlentto")).arg(loan->to, QLocale().toString(loan->date, QLocale::ShortFormat));
}
