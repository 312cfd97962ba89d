#include "BookSearchBar.h"

#include "BookListOpen.h"

#include <QStyle>

#include "AppState.h"
#include "BookStatements.h"
#include "Catalogue.h"
#include "EventConsole.h"
#include "ForgivingSearch.h"
#include "FbQuery.h"
#include "LangStr.h"
#include "StyleIcon.h"
#include "UserPrompts.h"
#include "ui_BookSearchBar.h"

#include <QHBoxLayout>
#include <QMouseEvent>

namespace
{
const QString kValidId = QStringLiteral("Please enter a valid ID value!\rВведите корректное значение ID!");
}

BookSearchBar::BookSearchBar(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::BookSearchBar>())
{
    ui->setupUi(this);
    // Placed into an empty frame, the bar fills it.
    if (parent && !parent->layout()) {
        auto *layout = new QHBoxLayout(parent);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(this);
    }
    for (QComboBox *list : {ui->SelList2, ui->SelList3}) {
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setCurrentIndex(-1);
    }
    ui->SelList3->setEditText(QStringLiteral("Arrange by"));
    ui->SelList2->setEditText(QStringLiteral("Search by"));
    ui->edSel2->installEventFilter(this);
    // The magnifier glyph is missing from common fonts; the style's own picture always shows.
    ui->SearchImg->setText(QString());
    showStandardPixmapWhenShown(ui->SearchImg, QStyle::SP_FileDialogContentsView, 16);
    ui->SearchImg->installEventFilter(this);
    connect(ui->SearchImg, &ClickableLabel::clicked, this, &BookSearchBar::SearchImgClick);
    connect(ui->ArrangeDownImg, &ClickableLabel::clicked, this, &BookSearchBar::ArrangeDownImgClick);
    connect(ui->ArrangeUpImg, &ClickableLabel::clicked, this, &BookSearchBar::ArrangeUpImgClick);
    // Enter in the search box searches, as the search picture does.
    connect(ui->edSel2, &QLineEdit::returnPressed, this, &BookSearchBar::SearchImgClick);
    m_forgiving = new ForgivingSearch(this, ui->edSel2, ui->SelList2, ui->BarLayout);
}

BookSearchBar::~BookSearchBar() = default;

bool BookSearchBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->SearchImg && event->type() == QEvent::ToolTip)
        return true; // its hint is set, but never shown
    if (watched == ui->edSel2) {
        if (event->type() == QEvent::MouseButtonPress)
            edSel2Click();
        else if (event->type() == QEvent::FocusOut)
            edSel2Exit();
    }
    return QWidget::eventFilter(watched, event);
}

bool isSearchPrompt(const QString &text)
{
    // The prompts the program shows in each language, whichever language wrote them, and the
    // older wordings of the same prompt.
    static const QStringList older{QStringLiteral("Search for?"), QStringLiteral("Искать что?"),
                                   QStringLiteral("Шукати що?")};
    for (const char *language : {"en", "ru", "ua"})
        if (text == Catalogue::text(QStringLiteral("lsrchw"), QLatin1String(language)))
            return true;
    return older.contains(text);
}

void BookSearchBar::edSel2Click()
{
    if (isSearchPrompt(ui->edSel2->text()))
        ui->edSel2->clear();
}

void BookSearchBar::edSel2Exit()
{
    if (ui->edSel2->text().isEmpty())
        ui->edSel2->setText(LangStr(QStringLiteral("lsrchw")));
}

void BookSearchBar::SearchImgClick()
{
    const int field = chosenEntry(ui->SelList2);
    if (!ui->edSel2->text().isEmpty())
        ui->edSel2->setFocus();
    if (field < 0) {
        ui->SelList2->setFocus();
        return;
    }
    m_forgiving->hideOffer();
    if (m_forgiving->ignoreCase() && m_forgiving->showForgiving(field, ui->edSel2->text())) {
        if (mainApi()->IBQuery1()->active() && mainApi()->IBQuery1()->isEmpty())
            emit nothingFound();
        return;
    }
    const std::optional<QString> statement = BookStatements::searchSql(field, ui->edSel2->text());
    if (!statement) {
        // An identifier that is no number would only make the database reject the statement.
        UserPrompts::message(UserPrompts::Kind::Warning, kValidId);
        ui->edSel2->setFocus();
        return;
    }
    showStatement(*statement);
    FbQuery *query = mainApi()->IBQuery1();
    if (query->active() && query->isEmpty()) {
        emit nothingFound();
        m_forgiving->offer(field, ui->edSel2->text());
    }
}

void BookSearchBar::showStatement(const QString &statement)
{
    MainWindowApi *api = mainApi();
    LogSql(statement);
    FbQuery *query = api->IBQuery1();
    const FbQuery::CloseHold rerun(query);
    query->setSqlText(statement);
    api->setBookBaseSql(query->text());
    api->setCurrentBookSql(statement);
    openBookList();
}

void BookSearchBar::ArrangeDownImgClick()
{
    arrange(true);
}

void BookSearchBar::ArrangeUpImgClick()
{
    arrange(false);
}

void BookSearchBar::arrangeByColumn(const QString &column)
{
    const int field = BookStatements::orderFieldOfColumn(column);
    if (field < 0)
        return;
    const bool ascending = m_titleOrder.click(field);
    ui->SelList3->setCurrentIndex(field);
    arrange(ascending);
}

void BookSearchBar::arrange(bool ascending)
{
    const int field = chosenEntry(ui->SelList3);
    if (field < 0) {
        ui->SelList3->setFocus();
        return;
    }
    m_forgiving->hideOffer();
    MainWindowApi *api = mainApi();
    const QString statement = BookStatements::orderSql(api->BookBaseSql(), field, ascending);
    if (statement.isEmpty())
        return;
    LogSql(statement);
    const FbQuery::CloseHold rerun(api->IBQuery1());
    api->IBQuery1()->setSqlText(statement);
    api->setCurrentBookSql(statement);
    openBookList();
}

// A statement the database rejects is shown by the general error handler, as a reload does.
void BookSearchBar::openBookList()
{
    runGuarded([this] { BookListOpen::open(window()); });
}
