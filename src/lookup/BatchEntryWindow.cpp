#include "BatchEntryWindow.h"

#include "BarcodeImage.h"
#include "CameraScanWindow.h"

#include "AppState.h"
#include "EventConsole.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "IsbnLookup.h"
#include "IsbnStore.h"
#include "IsbnTexts.h"
#include "LangStr.h"
#include "TextCodec.h"
#include "UserPrompts.h"
#include "ui_BatchEntryWindow.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace
{

enum Column { ColIsbn, ColResult, ColTitle, ColAuthor, ColYear, ColPublisher, ColGenre, ColNote, ColCount };
const char *const kHeaderKeys[] = {"lisbn", "lbatchres", "ltitle", "lauthor", "lyear", "lpub", "lgenre", "lbatchnote"};
// Width of the fields that can be finished by hand, as BOOK holds them.
const int kWidths[] = {0, 0, 65, 35, 4, 35, 25, 0};

QString ownerText(const QString &isbn13)
{
    try {
        const std::optional<IsbnStore::Owner> owner = IsbnStore::owner(mainApi()->IBDatabase1(), isbn13);
        if (!owner)
            return QString();
        const QString where = owner->lent ? LangStr(QStringLiteral("cisbnlentto")).arg(owner->lentTo)
                                          : LangStr(QStringLiteral("cisbnshelf"));
        return LangStr(QStringLiteral("cbatchowned")).arg(owner->id, owner->title, where);
    } catch (const FbError &) {
        return QString();
    }
}

} // namespace

BatchEntryWindow::BatchEntryWindow(QWidget *parent)
    : DialogBase(parent), ui(std::make_unique<Ui::BatchEntryWindow>()), m_batch(ownerText),
      m_lookup(new IsbnLookup(this))
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
    setThemedWidgets({ui->BatchTitleLb});
    ui->batchList->setColumnCount(ColCount);
    ui->batchList->horizontalHeader()->setStretchLastSection(true);
    connect(ui->batchIsbn, &QLineEdit::returnPressed, this, &BatchEntryWindow::scanEntered);
    connect(ui->batchStore, &QPushButton::clicked, this, &BatchEntryWindow::storeClick);
    connect(ui->batchPicture, &QPushButton::clicked, this, &BatchEntryWindow::pictureClick);
    connect(ui->batchCamera, &QPushButton::clicked, this, &BatchEntryWindow::cameraClick);
    ui->batchCamera->hide(); // until the window is shown on a machine with a camera
    connect(ui->batchClose, &QPushButton::clicked, this, &QDialog::hide);
    connect(ui->batchList, &QTableWidget::cellChanged, this, &BatchEntryWindow::cellEdited);
    connect(m_lookup, &IsbnLookup::found, this, [this](const BookRecord &book, const QString &source, int) {
        if (m_lookingUp >= 0)
            m_batch.found(m_lookingUp, book, source);
        const int done = m_lookingUp;
        m_lookingUp = -1;
        showItem(done);
        lookUpNext();
    });
    connect(m_lookup, &IsbnLookup::finishedWithout, this, [this](IsbnLookup::Outcome outcome) {
        const int done = m_lookingUp;
        m_lookingUp = -1;
        if (done < 0)
            return;
        m_batch.notFound(done, IsbnTexts::outcome(outcome));
        showItem(done);
        if (outcome != IsbnLookup::Outcome::Stopped)
            lookUpNext();
    });
    applyLanguage();
}

BatchEntryWindow::~BatchEntryWindow() = default;

void BatchEntryWindow::applyLanguage()
{
    ui->BatchTitleLb->setText(LangStr(QStringLiteral("lbatchcap")));
    setWindowTitle(ui->BatchTitleLb->text());
    ui->BatchIsbnLb->setText(LangStr(QStringLiteral("lisbn")));
    ui->BatchHintLb->setText(LangStr(QStringLiteral("lbatchhint")));
    ui->batchStore->setText(LangStr(QStringLiteral("lbatchstore")));
    ui->batchPicture->setText(LangStr(QStringLiteral("lisbnpic")));
    ui->batchCamera->setText(LangStr(QStringLiteral("lisbncam")));
    ui->batchClose->setText(LangStr(QStringLiteral("lbatchclose")));
    QStringList headers;
    for (const char *key : kHeaderKeys)
        headers << LangStr(QLatin1String(key));
    ui->batchList->setHorizontalHeaderLabels(headers);
    for (int i = 0; i < m_batch.items().size(); ++i)
        showItem(i);
}

void BatchEntryWindow::showEvent(QShowEvent *event)
{
    DialogBase::showEvent(event);
    ui->batchCamera->setVisible(CameraScanWindow::cameraPresent());
    // The list of catalogues may have changed meanwhile; a lookup under way goes on with the old one.
    if (!m_lookup->running())
        m_lookup->setSources(SourceList::read(AppState::baseDirectory() + SourceList::fileName()));
    ui->batchIsbn->setFocus();
}

QString BatchEntryWindow::resultText(BatchEntry::Result result) const
{
    static const char *const keys[] = {"lbatchwait", "lbatchfound", "lbatchnone", "lbatchowned", "lbatchrefused"};
    return LangStr(QLatin1String(keys[static_cast<int>(result)]));
}

void BatchEntryWindow::scanEntered()
{
    const QString typed = ui->batchIsbn->text();
    ui->batchIsbn->clear();
    if (typed.trimmed().isEmpty())
        return;
    const int index = m_batch.scan(typed);
    ui->batchList->setRowCount(static_cast<int>(m_batch.items().size()));
    showItem(index);
    ui->batchList->scrollToBottom();
    lookUpNext();
}

// A photo of a book's barcode counts as a scan, as in the add window.
void BatchEntryWindow::pictureClick()
{
    const std::optional<QString> digits = BarcodeImage::askPhoto(this);
    if (!digits)
        return;
    if (digits->isEmpty()) {
        ui->batchStatus->setText(LangStr(QStringLiteral("cisbnnobar")));
        return;
    }
    ui->batchIsbn->setText(*digits);
    scanEntered();
}

void BatchEntryWindow::cameraClick()
{
    if (const std::optional<QString> digits = CameraScanWindow::scan(this)) {
        ui->batchIsbn->setText(*digits);
        scanEntered();
    }
}

void BatchEntryWindow::lookUpNext()
{
    if (m_lookingUp >= 0)
        return;
    const int next = m_batch.nextWaiting();
    if (next < 0)
        return;
    m_lookingUp = next;
    m_lookup->setLibraryCharset(mainApi()->IBDatabase1()->charset());
    m_lookup->start(m_batch.items().at(next).isbn13);
}

void BatchEntryWindow::showItem(int index)
{
    if (index < 0)
        return;
    const BatchEntry::Item &item = m_batch.items().at(index);
    const QSignalBlocker quiet(ui->batchList);
    m_filling = true;
    const QString texts[] = {item.isbn13.isEmpty() ? item.typed : item.isbn13,
                             resultText(item.result),
                             item.book.title,
                             item.book.author,
                             item.book.year,
                             item.book.publisher,
                             item.book.genre,
                             item.note};
    for (int c = 0; c < ColCount; ++c) {
        auto *cell = new QTableWidgetItem(texts[c]);
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        // Books not found (or owned already) can be finished by hand; the result cell says whether to store.
        if (kWidths[c] > 0 && item.result != BatchEntry::Result::Refused && item.result != BatchEntry::Result::Waiting)
            flags |= Qt::ItemIsEditable;
        if (c == ColResult && item.result != BatchEntry::Result::Refused && item.result != BatchEntry::Result::Waiting) {
            flags |= Qt::ItemIsUserCheckable;
            cell->setCheckState(item.store ? Qt::Checked : Qt::Unchecked);
        }
        cell->setFlags(flags);
        ui->batchList->setItem(index, c, cell);
    }
    m_filling = false;
}

void BatchEntryWindow::cellEdited(int row, int column)
{
    if (m_filling || row < 0 || row >= m_batch.items().size())
        return;
    BatchEntry::Item &item = m_batch.item(row);
    QTableWidgetItem *cell = ui->batchList->item(row, column);
    const QString text = cell->text().left(kWidths[column] > 0 ? kWidths[column] : cell->text().size());
    switch (column) {
    case ColResult:
        item.store = cell->checkState() == Qt::Checked;
        return;
    case ColTitle:
        item.book.title = text;
        break;
    case ColAuthor:
        item.book.author = text;
        break;
    case ColYear:
        item.book.year = text;
        break;
    case ColPublisher:
        item.book.publisher = text;
        break;
    case ColGenre:
        item.book.genre = text;
        break;
    default:
        return;
    }
    // A book finished by hand is meant to be stored.
    if (item.result == BatchEntry::Result::NotFound)
        item.store = true;
    showItem(row);
}

void BatchEntryWindow::storeClick()
{
    if (m_lookingUp >= 0 || m_batch.nextWaiting() >= 0) {
        UserPrompts::message(UserPrompts::Kind::Warning, LangStr(QStringLiteral("cbatchbusy")));
        return;
    }
    QStringList rows;
    for (int i : m_batch.incomplete())
        rows << QString::number(i + 1);
    if (!rows.isEmpty()) {
        UserPrompts::message(UserPrompts::Kind::Warning,
                             LangStr(QStringLiteral("cbatchincomplete")).arg(rows.join(QStringLiteral(", "))));
        return;
    }
    FbDatabase *db = mainApi()->IBDatabase1();
    const QStringList statements = m_batch.statements(db->charset());
    if (statements.isEmpty())
        return;
    // Everything is checked before the first statement, so a refusal stores nothing.
    for (const QString &sql : statements)
        if (db->charset().firstUnencodable(sql) >= 0) {
            UserPrompts::message(UserPrompts::Kind::Warning, LangStr(QStringLiteral("cbatchchar")).arg(sql.left(80)));
            return;
        }
    QString error;
    try {
        if (!db->connected())
            db->open();
        FbBatch batch(db->defaultTransaction());
        FbQuery query(db);
        for (const QString &sql : statements) {
            LogSql(sql);
            query.setSqlText(sql);
            query.execSQL();
        }
        batch.commit();
    } catch (const FbError &e) {
        error = e.message();
    }
    if (!error.isEmpty()) {
        LogEvent(LangStr(QStringLiteral("cbatchfailed")) + error);
        UserPrompts::message(UserPrompts::Kind::Warning, LangStr(QStringLiteral("cbatchfailed")) + error);
        return;
    }
    const QString report = LangStr(QStringLiteral("cbatchstored")).arg(statements.size() / 2);
    LogEvent(report);
    m_batch.clear();
    ui->batchList->setRowCount(0);
    ui->batchStatus->setText(report);
    emit booksStored();
    UserPrompts::message(UserPrompts::Kind::Information, report);
}
