#include "LentMark.h"

#include "DBGridEh.h"
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
    : QObject(parent), m_grid(grid), m_db(db), m_loans(new FbQuery(db, this)), m_changes(db, this, "LentChangesQuery")
{
    m_shown = !ForgivingSearch::flag(kHideKey);
    m_loans->setObjectName(QStringLiteral("LentIdsQuery"));
    m_loans->setSqlText(QStringLiteral("SELECT given_id, given_to, given_date FROM given"));
    grid->queryModel()->setCellHook([this](int row, int column, int role) { return cellRole(row, column, role); });
    if (FbTransaction *tr = db->defaultTransaction())
        connect(tr, &FbTransaction::changesCommitted, this, &LentMark::refreshSoon);
    // Another library (or the same one made anew) may have the same count.
    connect(db, &FbDatabase::connectedChanged, this, [this] {
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
    // The marks stay as they are while the book list waits for its first row; its opening
    // refreshes them.
    if (m_db->usedOffThread())
        return;
    if (!m_db->connected()) {
        m_changes.forget();
        m_lent.clear();
        m_grid->viewport()->update();
        return;
    }
    if (m_changes.readNow())
        readLoans();
}

void LentMark::readLoans()
{
    QHash<qint64, Loan> lent;
    try {
        m_loans->close();
        m_loans->open();
        m_loans->fetchAll();
        for (int r = 0; r < m_loans->fetchedCount(); ++r)
            lent.insert(m_loans->value(r, 0).toLongLong(),
                        {m_loans->value(r, 1).toString(), m_loans->value(r, 2).toDate()});
        m_loans->close();
    } catch (const FbError &) {
        // A library of the older kind has no GIVEN yet: nothing is lent.
    }
    m_lent = lent;
    m_grid->viewport()->update();
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
