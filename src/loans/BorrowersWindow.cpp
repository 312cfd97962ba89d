#include "BorrowersWindow.h"

#include "ui_BorrowersWindow.h"

#include "AppState.h"
#include "Borrowers.h"
#include "DataSource.h"
#include "FbQuery.h"
#include "LangStr.h"
#include "UserPrompts.h"

namespace {
// Marks a list item whose name is only in the loans, not yet in the book.
constexpr int kOnlyInLoansRole = Qt::UserRole + 1;

FbDatabase &library()
{
    return *mainApi()->IBDatabase1();
}
} // namespace

BorrowersWindow::BorrowersWindow(QWidget *parent)
    : DialogBase(parent)
    , ui(std::make_unique<Ui::BorrowersWindow>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("BorrowersF"));
    setThemedWidgets({ui->Label4, ui->Panel1});
    m_loansQuery = new FbQuery(&library(), this);
    m_loansSource = new DataSource(this);
    m_loansSource->setDataSet(m_loansQuery);
    ui->BorrowerLoans->setDataSource(m_loansSource);
    connect(ui->BorrowerList, &QListWidget::currentRowChanged, this, &BorrowersWindow::showBorrower);
    connect(ui->NewBtn, &QPushButton::clicked, this, &BorrowersWindow::newClick);
    connect(ui->SaveBtn, &QPushButton::clicked, this, &BorrowersWindow::saveClick);
    connect(ui->DeleteBtn, &QPushButton::clicked, this, &BorrowersWindow::deleteClick);
    connect(ui->CloseBtn, &QPushButton::clicked, this, &QDialog::close);
}

BorrowersWindow::~BorrowersWindow() = default;

void BorrowersWindow::showEvent(QShowEvent *event)
{
    DialogBase::showEvent(event);
    applyTexts();
    reloadList(m_shownName);
}

void BorrowersWindow::applyTexts()
{
    const std::pair<QWidget *, const char *> texts[] = {
        {ui->Label4, "lborrbook"}, {ui->NameLabel, "lborrname"},  {ui->PhoneLabel, "lborrphone"},
        {ui->EmailLabel, "lborremail"}, {ui->NoteLabel, "lborrnote"}, {ui->NewBtn, "lborrnew"},
        {ui->SaveBtn, "lborrsave"}, {ui->DeleteBtn, "lborrdel"}, {ui->CloseBtn, "lborrclose"},
    };
    for (const auto &[widget, key] : texts) {
        const QString text = LangStr(QLatin1String(key));
        if (auto *label = qobject_cast<QLabel *>(widget))
            label->setText(text);
        else if (auto *button = qobject_cast<QPushButton *>(widget))
            button->setText(text);
    }
    ui->BorrowerLoans->setColumns({{QStringLiteral("TITLE"), LangStr(QStringLiteral("ltitle")), 30},
                                   {QStringLiteral("GIVEN_DATE"), LangStr(QStringLiteral("lcolgiven")), 10},
                                   {QStringLiteral("DUE_DATE"), LangStr(QStringLiteral("fgvndue")), 10},
                                   {QStringLiteral("RETURNED_DATE"), LangStr(QStringLiteral("fgvnret")), 10},
                                   {QStringLiteral("BOOK_ID"), QStringLiteral("Id"), 6}});
}

void BorrowersWindow::reloadList(const QString &select)
{
    const QSignalBlocker blocker(ui->BorrowerList);
    ui->BorrowerList->clear();
    for (const QString &name : Borrowers::names(library()))
        ui->BorrowerList->addItem(name);
    // People lent to by a typed name: their loans are reachable here too, and Save adds them.
    for (const QString &name : Borrowers::namesOnlyInLoans(library())) {
        auto *item = new QListWidgetItem(name, ui->BorrowerList);
        QFont font = item->font();
        font.setItalic(true);
        item->setFont(font);
        item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
        item->setToolTip(LangStr(QStringLiteral("lborronlyloans")));
        item->setData(kOnlyInLoansRole, true);
    }
    const QList<QListWidgetItem *> found = ui->BorrowerList->findItems(select, Qt::MatchExactly);
    ui->BorrowerList->setCurrentRow(found.isEmpty() ? (ui->BorrowerList->count() ? 0 : -1)
                                                    : ui->BorrowerList->row(found.first()));
    showBorrower();
}

void BorrowersWindow::showBorrower()
{
    const QListWidgetItem *item = ui->BorrowerList->currentItem();
    LoanRecords::Borrower shown;
    const bool onlyInLoans = item && item->data(kOnlyInLoansRole).toBool();
    if (onlyInLoans) {
        shown.name = item->text();
    } else if (item) {
        for (const LoanRecords::Borrower &b : Borrowers::all(library()))
            if (b.name == item->text())
                shown = b;
    }
    // A name only in the loans is not in the book yet: Save adds it rather than changing a row.
    m_shownName = onlyInLoans ? QString() : shown.name;
    ui->NameEd->setText(shown.name);
    ui->PhoneEd->setText(shown.phone);
    ui->EmailEd->setText(shown.email);
    ui->NoteEd->setText(shown.note);
    ui->LoansLabel->setText(shown.name.isEmpty() ? QString()
                                                 : LangStr(QStringLiteral("lborrloans")).arg(shown.name));
    showLoans(shown.name);
}

void BorrowersWindow::showLoans(const QString &name)
{
    m_loansQuery->close();
    if (name.isEmpty())
        return;
    try {
        m_loansQuery->setSqlText(LoanRecords::borrowerLoansStatement(name));
        m_loansQuery->open();
    } catch (const std::exception &) {
        // A library without the history: no loans to show.
        m_loansQuery->close();
    }
}

void BorrowersWindow::newClick()
{
    const QSignalBlocker blocker(ui->BorrowerList);
    ui->BorrowerList->setCurrentRow(-1);
    m_shownName.clear();
    for (QLineEdit *edit : {ui->NameEd, ui->PhoneEd, ui->EmailEd, ui->NoteEd})
        edit->clear();
    m_loansQuery->close();
    ui->NameEd->setFocus();
}

void BorrowersWindow::saveClick()
{
    const LoanRecords::Borrower typed{ui->NameEd->text().trimmed(), ui->PhoneEd->text().trimmed(),
                                      ui->EmailEd->text().trimmed(), ui->NoteEd->text().trimmed()};
    const QString error = m_shownName.isEmpty() ? Borrowers::add(library(), typed)
                                                : Borrowers::change(library(), m_shownName, typed);
    if (!error.isEmpty()) {
        // What was typed stays in the fields.
        UserPrompts::message(UserPrompts::Kind::Warning, LangStr(QStringLiteral("lborrnotsaved")) +
                                                             QStringLiteral("\r\r") + error);
        return;
    }
    reloadList(typed.name);
}

void BorrowersWindow::deleteClick()
{
    if (m_shownName.isEmpty())
        return;
    if (UserPrompts::message(UserPrompts::Kind::Question, LangStr(QStringLiteral("lborrdelq")).arg(m_shownName),
                             QString(), QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    const QString error = Borrowers::remove(library(), m_shownName);
    if (!error.isEmpty()) {
        UserPrompts::message(UserPrompts::Kind::Warning, error);
        return;
    }
    reloadList();
}
