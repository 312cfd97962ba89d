#include "ForgivingSearch.h"

#include "AppState.h"
#include "BookSearchBar.h"
#include "BookSearchCopy.h"
#include "BookStatements.h"
#include "ChosenEntry.h"
#include "ClickableLabel.h"
#include "DbWorker.h"
#include "EventConsole.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "FileError.h"
#include "LangStr.h"
#include "SettingsList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>

#include "LentMark.h"

ForgivingSearch::ForgivingSearch(BookSearchBar *bar, QLineEdit *text, QComboBox *field, QHBoxLayout *layout)
    : QObject(bar), m_bar(bar), m_text(text), m_field(field)
{
    m_offer = new ClickableLabel(bar);
    m_offer->setObjectName(QStringLiteral("ForgivingOffer"));
    m_offer->setCursor(Qt::PointingHandCursor);
    m_offer->setTextColor(Qt::blue);
    m_offer->hide();
    m_ignoreCase = new QCheckBox(LangStr(QStringLiteral("lfsignore")), bar);
    m_ignoreCase->setObjectName(QStringLiteral("IgnoreCaseChk"));
    m_ignoreCase->setToolTip(LangStr(QStringLiteral("hfsignore")));
    m_ignoreCase->setChecked(flag(kIgnoreCaseKey));
    // Beside the search box: the offer before it, the toggle after "Search by".
    const int at = layout->indexOf(text);
    layout->insertWidget(at, m_offer);
    layout->insertWidget(layout->indexOf(field) + 1, m_ignoreCase);
    connect(m_ignoreCase, &QCheckBox::toggled, this, [](bool on) { setFlag(kIgnoreCaseKey, on); });
    connect(m_offer, &ClickableLabel::clicked, this, [this] {
        const int offered = m_offerField;
        const QString offeredText = m_offerText;
        hideOffer();
        showForgiving(offered, offeredText);
    });
    m_filterTimer.setSingleShot(true);
    m_filterTimer.setInterval(kFilterPauseMs);
    connect(text, &QLineEdit::textEdited, this, &ForgivingSearch::textEdited);
    connect(&m_filterTimer, &QTimer::timeout, this, &ForgivingSearch::filterPaused);
}

bool ForgivingSearch::ignoreCase() const
{
    return m_ignoreCase->isChecked();
}

bool ForgivingSearch::forgivable(int field)
{
    return field >= 0 && field < BookStatements::kSearchById;
}

bool ForgivingSearch::flag(const char *key)
{
    return settingsList().value(QLatin1String(key)) == QLatin1String("1");
}

void ForgivingSearch::setFlag(const char *key, bool on)
{
    SettingsList &list = settingsList();
    list.setValue(QLatin1String(key), on ? QStringLiteral("1") : QStringLiteral("0"));
    try {
        SettingsList::writeFile(AppState::baseDirectory() + QStringLiteral(".settings"), list.lines());
    } catch (const FileError &e) {
        LogEvent(e.message());
    }
}

// Each pause in typing runs one search; keys typed meanwhile only move the pause on.
void ForgivingSearch::textEdited()
{
    if (flag(kFilterKey))
        m_filterTimer.start();
}

void ForgivingSearch::filterPaused()
{
    const int field = chosenEntry(m_field);
    const QString text = m_text->text();
    if (field < 0 || isSearchPrompt(text))
        return;
    // An identifier half typed is no reason for a warning box.
    if (field == BookStatements::kSearchById && !BookStatements::parseId(text))
        return;
    m_bar->SearchImgClick();
}

std::optional<QString> ForgivingSearch::forgivingSql(int field, const QString &text) const
{
    if (!forgivable(field))
        return std::nullopt;
    FbDatabase *db = mainApi()->IBDatabase1();
    // A letter the library cannot hold is in none of its books.
    if (db->charset().firstUnencodable(BookSearchCopy::fold(text)) >= 0)
        return std::nullopt;
    return BookSearchCopy::condition(field, text);
}

bool ForgivingSearch::showForgiving(int field, const QString &text)
{
    const std::optional<QString> condition = forgivingSql(field, text);
    if (!condition)
        return false;
    m_bar->showStatement(BookSearchCopy::selectSql(*condition));
    return true;
}

std::optional<qint64> ForgivingSearch::forgivingCount(int field, const QString &text) const
{
    const std::optional<QString> condition = forgivingSql(field, text);
    if (!condition)
        return std::nullopt;
    try {
        FbQuery count(mainApi()->IBDatabase1());
        count.setSqlText(BookSearchCopy::countSql(*condition));
        count.open();
        return count.isEmpty() ? std::nullopt : std::optional<qint64>(count.value(0, 0).toLongLong());
    } catch (const FbError &) {
        // A library whose copy is gone (dropped on the SQL page) just offers nothing.
        return std::nullopt;
    }
}

void ForgivingSearch::offer(int field, const QString &text)
{
    hideOffer();
    const std::optional<qint64> found = forgivingCount(field, text);
    if (!found || *found == 0)
        return;
    m_offerField = field;
    m_offerText = text;
    // Any later run of the list (a reload, "All books", a search) makes the offer stale.
    if (!m_followsList) {
        m_followsList = true;
        connect(mainApi()->IBQuery1(), &FbQuery::opened, this, &ForgivingSearch::hideOffer);
    }
    m_offer->setText(LangStr(QStringLiteral("lfsfound")).arg(*found));
    m_offer->show();
}

void ForgivingSearch::hideOffer()
{
    m_offer->hide();
    m_offerField = -1;
}

void ForgivingSearch::prepareLibrary(FbDatabase &db)
{
    static QPointer<DbWorker> filling;
    try {
        if (filling || BookSearchCopy::missing(db) == BookSearchCopy::Missing::Nothing)
            return;
        LogEvent(LangStr(QStringLiteral("cfsprep")));
        BookSearchCopy::createTable(db);
    } catch (const FbError &e) {
        LogEvent(LangStr(QStringLiteral("cfsprepe")) + e.message());
        return;
    }
    // Reading every book takes minutes at a million: the window stays free meanwhile, and the
    // triggers already keep what changes.
    filling = new DbWorker(&db, &db);
    filling->setObjectName(QStringLiteral("SearchCopyWorker"));
    DbWorker *worker = filling;
    connect(worker, &DbWorker::finished, worker, [worker] {
        LogEvent(LangStr(QStringLiteral("cfsprepd")));
        worker->deleteLater();
    });
    connect(worker, &DbWorker::failed, worker, [worker](const QString &message) {
        LogEvent(LangStr(QStringLiteral("cfsprepe")) + message);
        worker->deleteLater();
    });
    worker->start([](DbWorker::Control &control) {
        BookSearchCopy::fillAndIndex(control.database());
        return QVariant();
    });
}

void ForgivingSearch::installMenu(QMenu *library, LentMark *mark)
{
    library->addSeparator();
    QAction *filter = library->addAction(LangStr(QStringLiteral("mfsfilter")));
    filter->setObjectName(QStringLiteral("FilterAsYouType1"));
    filter->setCheckable(true);
    filter->setChecked(flag(kFilterKey));
    connect(filter, &QAction::toggled, filter, [](bool on) { setFlag(kFilterKey, on); });
    QAction *lent = library->addAction(LangStr(QStringLiteral("mfslent")));
    lent->setObjectName(QStringLiteral("MarkLent1"));
    lent->setCheckable(true);
    lent->setChecked(mark->shown());
    connect(lent, &QAction::toggled, mark, &LentMark::setShown);
}
