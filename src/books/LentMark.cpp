#include "LentMark.h"

#include "DBGridEh.h"
#include "GivenSnapshot.h"
#include "FbDatabase.h"
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

// On the reader's thread: the loans by book.
QVariant readLoans(FbQuery &rows)
{
    LentMark::Loans lent;
    for (int r = 0; r < rows.fetchedCount(); ++r)
        lent.insert(rows.value(r, 0).toLongLong(), {rows.value(r, 1).toString(), rows.value(r, 2).toDate()});
    return QVariant::fromValue(lent);
}
} // namespace

LentMark::LentMark(DBGridEh *grid, FbDatabase *db, QObject *parent)
    : QObject(parent)
    , m_grid(grid)
    , m_db(db)
    , m_loans(new GivenSnapshot(db, QStringLiteral("SELECT given_id, given_to, given_date FROM given"), readLoans,
                                QStringLiteral("Lent"), this))
{
    m_shown = !ForgivingSearch::flag(kHideKey);
    connect(m_loans, &GivenSnapshot::arrived, this, &LentMark::loansArrived);
    grid->queryModel()->setCellHook([this](int row, int column, int role) { return cellRole(row, column, role); });
    if (FbTransaction *tr = db->defaultTransaction())
        connect(tr, &FbTransaction::changesCommitted, this, &LentMark::refreshSoon);
    connect(db, &FbDatabase::connectedChanged, this, &LentMark::refreshSoon);
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
    m_loans->refresh();
}

// Nothing read (no connection, an older library): nothing is lent.
void LentMark::loansArrived(const QVariant &loans)
{
    m_lent = loans.value<Loans>();
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
