#include "AddWindowIsbn.h"

#include "AppState.h"
#include "FbDatabase.h"
#include "BarcodeImage.h"
#include "CameraScanWindow.h"
#include "ClickableLabel.h"
#include "CoverFetch.h"
#include "CoverPicture.h"
#include "EventConsole.h"
#include "FbError.h"
#include "Isbn.h"
#include "IsbnStore.h"
#include "IsbnTexts.h"
#include "LangStr.h"
#include "UserPrompts.h"

#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

AddWindowIsbn::AddWindowIsbn(QDialog *window)
    : QObject(window), m_window(window), m_coverFetch(new CoverFetch(this)), m_lookup(new IsbnLookup(this))
{
    auto *grid = window->findChild<QGridLayout *>(QStringLiteral("FieldsLayout"));
    auto *panel = grid ? grid->parentWidget() : window;
    m_label = new QLabel(panel);
    m_label->setObjectName(QStringLiteral("LabelIsbn"));
    m_edit = new QLineEdit(panel);
    m_edit->setObjectName(QStringLiteral("addIsbn"));
    m_edit->setMaxLength(17); // thirteen digits and four hyphens
    m_lookupLink = new ClickableLabel(panel);
    m_lookupLink->setObjectName(QStringLiteral("IsbnLookupLnk"));
    m_nextLink = new ClickableLabel(panel);
    m_nextLink->setObjectName(QStringLiteral("IsbnNextLnk"));
    m_nextLink->hide();
    m_pictureLink = new ClickableLabel(panel);
    m_pictureLink->setObjectName(QStringLiteral("IsbnPictureLnk"));
    m_cameraLink = new ClickableLabel(panel);
    m_cameraLink->setObjectName(QStringLiteral("IsbnCameraLnk"));
    m_cameraLink->hide(); // until the window is shown on a machine with a camera
    for (ClickableLabel *link : {m_lookupLink, m_nextLink, m_pictureLink, m_cameraLink}) {
        link->setTextColor(Qt::blue);
        link->setCursor(Qt::PointingHandCursor);
    }
    m_status = new QLabel(panel);
    m_status->setObjectName(QStringLiteral("IsbnStatus"));
    m_status->setWordWrap(true);
    m_cover = CoverPicture::makeLabel(panel, QStringLiteral("IsbnCover"));
    auto *row = new QHBoxLayout;
    row->addWidget(m_edit, 1);
    row->addWidget(m_lookupLink);
    auto *links = new QHBoxLayout;
    links->addWidget(m_nextLink);
    links->addStretch(1);
    links->addWidget(m_pictureLink);
    links->addWidget(m_cameraLink);
    if (grid) {
        const int at = grid->rowCount();
        grid->addWidget(m_label, at, 0);
        grid->addLayout(row, at, 1);
        grid->addLayout(links, at + 1, 1);
        auto *found = new QHBoxLayout;
        found->addWidget(m_cover);
        found->addWidget(m_status, 1);
        grid->addLayout(found, at + 2, 0, 1, grid->columnCount());
    }
    QWidget::setTabOrder(window->findChild<QWidget *>(QStringLiteral("addClas")), m_edit);
    window->resize(window->width(), window->height() + 3 * m_edit->sizeHint().height());
    m_edit->installEventFilter(this);
    connect(m_edit, &QLineEdit::textEdited, this, &AddWindowIsbn::checkTyped);
    connect(m_lookupLink, &ClickableLabel::clicked, this, &AddWindowIsbn::lookUp);
    connect(m_nextLink, &ClickableLabel::clicked, this, &AddWindowIsbn::tryNext);
    connect(m_pictureLink, &ClickableLabel::clicked, this, &AddWindowIsbn::fromPicture);
    connect(m_cameraLink, &ClickableLabel::clicked, this, &AddWindowIsbn::fromCamera);
    window->installEventFilter(this);
    connect(m_lookup, &IsbnLookup::asking, this, [this](const QString &name) {
        showStatus(LangStr(QStringLiteral("cisbnasking")).arg(name), false);
    });
    connect(m_lookup, &IsbnLookup::sourceAnswered, this, [this](const QString &name, IsbnLookup::SourceResult result) {
        LogEvent(IsbnTexts::sourceLine(m_isbn, name, result));
    });
    connect(m_lookup, &IsbnLookup::found, this, &AddWindowIsbn::fill);
    connect(m_coverFetch, &CoverFetch::fetched, this, &AddWindowIsbn::showCover);
    connect(m_lookup, &IsbnLookup::finishedWithout, this, [this](IsbnLookup::Outcome outcome) {
        setRunning(false);
        showStatus(IsbnTexts::outcome(outcome), outcome != IsbnLookup::Outcome::Stopped);
        m_nextLink->hide();
    });
    applyLanguage();
}

void AddWindowIsbn::applyLanguage()
{
    m_label->setText(LangStr(QStringLiteral("lisbn")));
    m_lookupLink->setText(LangStr(m_lookup->running() ? QStringLiteral("lisbnstop") : QStringLiteral("lisbnfind")));
    m_nextLink->setText(LangStr(QStringLiteral("lisbnnext")));
    m_pictureLink->setText(LangStr(QStringLiteral("lisbnpic")));
    m_cameraLink->setText(LangStr(QStringLiteral("lisbncam")));
}

void AddWindowIsbn::fromCamera()
{
    if (const std::optional<QString> digits = CameraScanWindow::scan(m_window)) {
        m_edit->setText(*digits);
        lookUp();
    }
}

void AddWindowIsbn::fromPicture()
{
    const std::optional<QString> photo = BarcodeImage::askPhoto(m_window);
    if (!photo)
        return;
    const QString digits = *photo;
    if (digits.isEmpty()) {
        showStatus(LangStr(QStringLiteral("cisbnnobar")), true);
        return;
    }
    m_edit->setText(digits);
    lookUp();
}

bool AddWindowIsbn::eventFilter(QObject *watched, QEvent *event)
{
    // A camera plugged in since the window was last shown is offered too.
    if (watched == m_window && event->type() == QEvent::Show)
        m_cameraLink->setVisible(CameraScanWindow::cameraPresent());
    // A scanner ends its digits with Enter: here that looks the book up instead of adding it.
    if (watched == m_edit && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (event->type() == QEvent::KeyPress)
                lookUp();
            event->accept();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void AddWindowIsbn::showStatus(const QString &text, bool error)
{
    m_status->setStyleSheet(error ? QStringLiteral("color: red;") : QStringLiteral("color: grey;"));
    m_status->setText(text);
}

void AddWindowIsbn::showCover(const QByteArray &picture)
{
    if (picture.isEmpty())
        m_coverFetch->stop();
    m_coverPicture = picture;
    CoverPicture::show(m_cover, picture);
}

void AddWindowIsbn::setRunning(bool running)
{
    m_lookupLink->setText(LangStr(running ? QStringLiteral("lisbnstop") : QStringLiteral("lisbnfind")));
}

void AddWindowIsbn::checkTyped()
{
    const Isbn::Checked checked = Isbn::check(m_edit->text());
    const int digits = static_cast<int>(Isbn::compact(m_edit->text()).size());
    // Said at once for a complete number; a number still being typed is left alone.
    if (!checked.ok() && (digits == 10 || digits >= 13 || checked.problem == Isbn::Problem::Character))
        showStatus(LangStr(Isbn::problemKey(checked.problem)), true);
    else
        showStatus(QString(), false);
}

void AddWindowIsbn::lookUp()
{
    if (m_lookup->running()) {
        m_lookup->stop();
        return;
    }
    const Isbn::Checked checked = Isbn::check(m_edit->text());
    if (!checked.ok()) {
        showStatus(checked.problem == Isbn::Problem::Empty ? QString() : LangStr(Isbn::problemKey(checked.problem)),
                   true);
        return;
    }
    m_isbn = checked.isbn13;
    m_filledFrom.clear();
    showCover({});
    m_nextLink->hide();
    m_lookup->setSources(SourceList::read(AppState::baseDirectory() + SourceList::fileName()));
    m_lookup->setLibraryCharset(mainApi()->IBDatabase1()->charset());
    setRunning(true);
    m_lookup->start(m_isbn);
}

void AddWindowIsbn::tryNext()
{
    if (m_isbn.isEmpty() || m_lookup->running())
        return;
    m_nextLink->hide();
    setRunning(true);
    m_lookup->start(m_isbn, m_nextSource);
}

void AddWindowIsbn::fill(const BookRecord &r, const QString &sourceName, int sourceIndex)
{
    setRunning(false);
    const std::pair<const char *, QString> fields[] = {
        {"addTitle", r.title}, {"addAuthor", r.author}, {"addYear", r.year},
        {"addSeria", r.seria}, {"addPublisher", r.publisher}, {"addPlace", r.place},
        {"addGenre", r.genre}, {"addDescription", r.description}, {"addClas", r.clas},
    };
    // Every field, the empty ones too, so that two books are never mixed in one window.
    for (const auto &[name, value] : fields) {
        if (auto *box = m_window->findChild<QComboBox *>(QLatin1String(name)))
            box->setEditText(value.left(box->lineEdit()->maxLength()));
        else if (auto *edit = m_window->findChild<QLineEdit *>(QLatin1String(name)))
            edit->setText(value.left(edit->maxLength()));
    }
    m_edit->setText(m_isbn);
    m_filledFrom = sourceName;
    // The cover comes after the fields, which are usable at once.
    showCover({});
    if (!r.coverUrl.isEmpty())
        m_coverFetch->fetch(r.coverUrl);
    m_nextSource = sourceIndex + 1;
    showStatus(LangStr(QStringLiteral("cisbnfilled")).arg(sourceName), false);
    m_nextLink->setVisible(m_nextSource < m_lookup->sourceCount());
}

bool AddWindowIsbn::mayAdd()
{
    const Isbn::Checked checked = Isbn::check(m_edit->text());
    if (checked.problem == Isbn::Problem::Empty)
        return true;
    if (!checked.ok()) {
        UserPrompts::message(UserPrompts::Kind::Warning,
                             LangStr(QStringLiteral("cisbnrefused")) + LangStr(Isbn::problemKey(checked.problem)));
        m_edit->setFocus();
        return false;
    }
    std::optional<IsbnStore::Owner> owner;
    try {
        owner = IsbnStore::owner(mainApi()->IBDatabase1(), checked.isbn13);
    } catch (const FbError &) {
        return true; // a library without the ISBN table: nothing to compare with
    }
    if (!owner)
        return true;
    return UserPrompts::message(UserPrompts::Kind::Question, IsbnTexts::duplicate(checked.isbn13, *owner), QString(),
                                QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void AddWindowIsbn::bookAdded()
{
    const Isbn::Checked checked = Isbn::check(m_edit->text());
    if (!checked.ok())
        return;
    const QString source = checked.isbn13 == m_isbn ? m_filledFrom : QString();
    try {
        IsbnStore::run(mainApi()->IBDatabase1(), IsbnStore::storeNewestSql(checked.isbn13, source));
        if (checked.isbn13 == m_isbn && !m_coverPicture.isEmpty())
            IsbnStore::storeNewestCover(mainApi()->IBDatabase1(), m_coverPicture);
    } catch (const FbError &e) {
        LogEvent(LangStr(QStringLiteral("cisbnnotstored")) + e.message());
    }
}
