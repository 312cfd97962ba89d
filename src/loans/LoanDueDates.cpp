#include "LoanDueDates.h"

#include "AppState.h"
#include "ClickableLabel.h"
#include "DBGridEh.h"
#include "DataSource.h"
#include "EventConsole.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "GivenSnapshot.h"
#include "LangStr.h"
#include "LoanRecords.h"
#include "LoanSchema.h"
#include "OwnTransaction.h"

#include <QBoxLayout>
#include <QLabel>

namespace LoanDueDates {

void upgradeLibrary(FbDatabase &db)
{
    try {
        if (!LoanSchema::addMissing(db).isEmpty())
            LogEvent(LangStr(QStringLiteral("cloanupg")));
    } catch (const FbError &e) {
        LogEvent(LangStr(QStringLiteral("cloanupgerr")) + e.message());
    }
}

int overdueCount(FbDatabase &db)
{
    try {
        if (!db.connected())
            return -1;
        // A transaction of its own, so that the connection's own stays idle after connecting.
        OwnTransaction tr(db);
        const QStringList rows = tr.column(LoanRecords::overdueCountStatement());
        return rows.isEmpty() ? -1 : rows.first().toInt();
    } catch (const FbError &) {
        return -1;
    }
}

QString overdueText(int count)
{
    return LangStr(count == 1 ? QStringLiteral("loverdue1") : QStringLiteral("loverduen")).arg(count);
}

void showOverdue(ClickableLabel *notice, int count)
{
    notice->setVisible(count > 0);
    if (count > 0)
        notice->setText(overdueText(count));
}

} // namespace LoanDueDates

namespace {
// On the reader's thread: the due dates by book.
QVariant readDueDates(FbQuery &rows)
{
    QHash<int, QDate> due;
    for (int row = 0; row < rows.fetchedCount(); ++row)
        due.insert(rows.value(row, 0).toInt(), rows.value(row, 1).toDate());
    return QVariant::fromValue(due);
}
} // namespace

DueDateColumn::DueDateColumn(DBGridEh *grid, MainWindowApi *api, QBoxLayout *legendPlace)
    : QObject(grid)
    , m_grid(grid)
    , m_dueDates(new GivenSnapshot(api->IBDatabase1(), LoanRecords::dueDatesStatement(), readDueDates,
                                   QStringLiteral("DueDates"), this))
    , m_legend(new QLabel)
    , m_soonLegend(new QLabel)
{
    // A row of its own under the list, so the search bar keeps its room.
    auto *row = new QHBoxLayout;
    row->setContentsMargins(4, 0, 4, 0);
    const auto swatch = [row](const QColor &colour) {
        auto *box = new QLabel;
        box->setFixedSize(12, 12);
        box->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid gray;").arg(colour.name()));
        row->addWidget(box);
    };
    m_legend->setObjectName(QStringLiteral("LoanLegend"));
    m_soonLegend->setObjectName(QStringLiteral("LoanLegendSoon"));
    swatch(LoanDueDates::kOverdueColor);
    row->addWidget(m_legend);
    row->addSpacing(12);
    swatch(LoanDueDates::kDueSoonColor);
    row->addWidget(m_soonLegend);
    row->addStretch();
    legendPlace->addLayout(row);
    connect(m_dueDates, &GivenSnapshot::arrived, this, &DueDateColumn::dueDatesArrived);
    grid->queryModel()->setCellHook([this](int row, int column, int role) { return cell(row, column, role); });
    connect(api->DataSource4(), &DataSource::opened, this, &DueDateColumn::reload);
    updateLegend();
}

void DueDateColumn::reload()
{
    m_dueDates->refresh();
}

// Nothing read (no connection, a library without due dates): the list shows none.
void DueDateColumn::dueDatesArrived(const QVariant &due)
{
    m_due = due.value<QHash<int, QDate>>();
    updateLegend();
    m_grid->viewport()->update();
    emit reloaded();
}

int DueDateColumn::overdueInList() const
{
    const QDate today = QDate::currentDate();
    int count = 0;
    for (const QDate &due : m_due)
        count += LoanRecords::dueState(due, today) == LoanRecords::DueState::Overdue;
    return count;
}

QVariant DueDateColumn::cell(int row, int column, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::BackgroundRole)
        return {};
    const QueryModel *model = m_grid->queryModel();
    const FbQuery *query = model->query();
    const int idField = query ? query->fieldIndex(QStringLiteral("GIVEN_ID")) : -1;
    if (idField < 0)
        return {};
    const QDate due = m_due.value(query->value(row, idField).toInt());
    if (role == Qt::DisplayRole)
        return model->columnField(column) == QLatin1String(kField) && due.isValid()
                   ? QVariant(FbQuery::displayText(due))
                   : QVariant();
    switch (LoanRecords::dueState(due, QDate::currentDate())) {
    case LoanRecords::DueState::Overdue:
        return QBrush(LoanDueDates::kOverdueColor);
    case LoanRecords::DueState::Soon:
        return QBrush(LoanDueDates::kDueSoonColor);
    default:
        return {};
    }
}

void DueDateColumn::updateLegend()
{
    m_legend->setText(LangStr(QStringLiteral("lduelegover")).arg(overdueInList()));
    m_soonLegend->setText(LangStr(QStringLiteral("lduelegsoon")).arg(LoanRecords::kDueSoonDays));
}
