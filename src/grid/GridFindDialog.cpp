#include "GridFindDialog.h"

#include "DBGridEh.h"
#include "FbQuery.h"
#include "GridSearchProgress.h"
#include "QueryModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QPointer>
#include <QVBoxLayout>

#include <climits>

namespace {

// Rows pulled at a time (each pull costs the view a row insertion), and rows looked at between
// two checks for events.
constexpr int kFindBatch = 10000;
constexpr int kStepRows = 2000;

// Makes row exist in the model, fetching as far as needed; false past the end of the result.
GridFindDialog::Texts &currentTexts()
{
    static GridFindDialog::Texts texts;
    return texts;
}

bool haveRow(QueryModel *model, int row)
{
    while (row >= model->rowCount()) {
        const int before = model->rowCount();
        if (!model->canFetchMore(QModelIndex()) || !model->fetchRows(kFindBatch) || model->rowCount() == before)
            return false;
    }
    return row >= 0;
}

} // namespace

GridFindDialog::GridFindDialog(DBGridEh *grid)
    : QDialog(grid)
    , m_grid(grid)
    , m_text(new QLineEdit(this))
    , m_column(new QComboBox(this))
    , m_matchCase(new QCheckBox(QString(), this))
    , m_wholeValue(new QCheckBox(QString(), this))
    , m_up(new QRadioButton(QString(), this))
    , m_down(new QRadioButton(QString(), this))
    , m_findNext(new QPushButton(QString(), this))
    , m_close(new QPushButton(QString(), this))
    , m_status(new QLabel(this))
    , m_textLabel(new QLabel(this))
    , m_columnLabel(new QLabel(this))
    , m_direction(new QGroupBox(this))
{
    setObjectName(QStringLiteral("GridFindDialog"));
    m_text->setObjectName(QStringLiteral("FindText"));
    m_column->setObjectName(QStringLiteral("FindColumn"));
    m_matchCase->setObjectName(QStringLiteral("MatchCase"));
    m_wholeValue->setObjectName(QStringLiteral("WholeValue"));
    m_up->setObjectName(QStringLiteral("DirectionUp"));
    m_down->setObjectName(QStringLiteral("DirectionDown"));
    m_findNext->setObjectName(QStringLiteral("FindNext"));
    m_close->setObjectName(QStringLiteral("Close"));
    m_status->setObjectName(QStringLiteral("Status"));

    m_textLabel->setBuddy(m_text);
    m_columnLabel->setBuddy(m_column);

    auto *directionLayout = new QHBoxLayout(m_direction);
    directionLayout->addWidget(m_up);
    directionLayout->addWidget(m_down);
    m_down->setChecked(true);

    auto *fields = new QGridLayout;
    fields->addWidget(m_textLabel, 0, 0);
    fields->addWidget(m_text, 0, 1);
    fields->addWidget(m_columnLabel, 1, 0);
    fields->addWidget(m_column, 1, 1);
    fields->addWidget(m_matchCase, 2, 1);
    fields->addWidget(m_wholeValue, 3, 1);
    fields->addWidget(m_direction, 4, 0, 1, 2);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    buttons->addWidget(m_close);
    buttons->addStretch();

    auto *top = new QHBoxLayout;
    top->addLayout(fields, 1);
    top->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_status);

    m_findNext->setDefault(true);
    m_status->setWordWrap(true);
    m_text->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 30);

    applyTexts();
    connect(m_findNext, &QPushButton::clicked, this, &GridFindDialog::findNext);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_text, &QLineEdit::textEdited, m_status, &QLabel::clear);
    connect(grid->queryModel(), &QueryModel::columnsChanged, this, &GridFindDialog::refreshColumns);
    connect(grid->queryModel(), &QAbstractItemModel::headerDataChanged, this, &GridFindDialog::refreshColumns);
    refreshColumns();
}

QString GridFindDialog::text() const
{
    return m_text->text();
}

void GridFindDialog::setText(const QString &text)
{
    m_text->setText(text);
}

int GridFindDialog::searchColumn() const
{
    return m_column->currentIndex() - 1;
}

void GridFindDialog::setSearchColumn(int column)
{
    m_column->setCurrentIndex(column + 1);
}

void GridFindDialog::setMatchCase(bool on)
{
    m_matchCase->setChecked(on);
}

void GridFindDialog::setWholeValue(bool on)
{
    m_wholeValue->setChecked(on);
}

void GridFindDialog::setSearchUp(bool up)
{
    (up ? m_up : m_down)->setChecked(true);
}

QString GridFindDialog::statusText() const
{
    return m_status->text();
}

void GridFindDialog::setTexts(const Texts &texts)
{
    currentTexts() = texts;
}

void GridFindDialog::applyTexts()
{
    const Texts &t = currentTexts();
    setWindowTitle(t.title);
    m_textLabel->setText(t.findWhat);
    m_columnLabel->setText(t.lookIn);
    m_matchCase->setText(t.matchCase);
    m_wholeValue->setText(t.wholeValue);
    m_direction->setTitle(t.direction);
    m_up->setText(t.up);
    m_down->setText(t.down);
    m_findNext->setText(t.findNext);
    m_close->setText(t.close);
}

void GridFindDialog::showEvent(QShowEvent *event)
{
    applyTexts();
    refreshColumns();
    m_text->setFocus();
    m_text->selectAll();
    QDialog::showEvent(event);
}

void GridFindDialog::refreshColumns()
{
    const QueryModel *model = m_grid->queryModel();
    const int chosen = m_column->currentIndex();
    const int countBefore = m_column->count();
    m_column->clear();
    m_column->addItem(currentTexts().allColumns);
    for (int column = 0; column < model->columnCount(); ++column)
        m_column->addItem(model->columnTitle(column));
    // Keep the user's choice while the columns are the same ones (a title may only be translated).
    m_column->setCurrentIndex(countBefore == m_column->count() ? qMax(chosen, 0) : 0);
}

bool GridFindDialog::matches(int row, const QList<int> &columns, int *column) const
{
    const QString wanted = m_text->text();
    const Qt::CaseSensitivity cs = m_matchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QueryModel *model = m_grid->queryModel();
    for (int c : columns) {
        const QString cell = model->cellText(row, c);
        if (m_wholeValue->isChecked() ? cell.compare(wanted, cs) == 0 : cell.contains(wanted, cs)) {
            *column = c;
            return true;
        }
    }
    return false;
}

bool GridFindDialog::findNext()
{
    const QString wanted = m_text->text();
    if (wanted.isEmpty()) {
        m_status->setText(currentTexts().typeText);
        return false;
    }
    QueryModel *model = m_grid->queryModel();
    FbQuery *query = model->query();
    QList<int> columns;
    if (searchColumn() >= 0) {
        columns << searchColumn();
    } else {
        for (int column = 0; column < model->columnCount(); ++column)
            columns << column;
    }

    int found = -1;
    int foundColumn = -1;
    bool wrapped = false;
    GridSearchProgress progress(this);
    QPointer<FbQuery> guardQuery = query;
    int searched = 0;
    // Looks at rows from, from + step, ... while they exist and to is not passed.
    const auto scan = [&](int from, int to, int step) {
        for (int row = from; found < 0 && (step > 0 ? row <= to : row >= to) && haveRow(model, row); row += step) {
            if (++searched % kStepRows == 0 && (!progress.step(searched) || !guardQuery || !guardQuery->active()))
                return;
            if (matches(row, columns, &foundColumn))
                found = row;
        }
    };
    if (query && query->active()) {
        model->catchUp();
        const int start = query->currentRow();
        if (m_down->isChecked()) {
            scan(start + 1, INT_MAX, 1);
            if (found < 0 && !progress.stopped()) {
                scan(0, start, 1);
                wrapped = found >= 0;
            }
        } else {
            scan(start - 1, 0, -1);
            if (found < 0 && !progress.stopped()) {
                // Going round from the bottom needs the whole result.
                for (int row = model->rowCount(); haveRow(model, row); row += kFindBatch)
                    if (!progress.step(row) || !guardQuery || !guardQuery->active())
                        break;
                if (!progress.stopped() && guardQuery && guardQuery->active()) {
                    scan(model->rowCount() - 1, qMax(start, 0), -1);
                    wrapped = found >= 0 && start >= 0;
                }
            }
        }
    }

    if (progress.stopped()) {
        m_status->clear();
        return false;
    }
    if (found < 0) {
        m_status->setText(currentTexts().notFound.arg(wanted));
        return false;
    }
    m_grid->makeCurrent(found, foundColumn);
    if (!wrapped)
        m_status->clear();
    else if (m_down->isChecked())
        m_status->setText(currentTexts().passedLast);
    else
        m_status->setText(currentTexts().passedFirst);
    return true;
}
