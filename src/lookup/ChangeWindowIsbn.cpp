#include "ChangeWindowIsbn.h"

#include "AppState.h"
#include "EventConsole.h"
#include "FbError.h"
#include "Isbn.h"
#include "IsbnStore.h"
#include "LangStr.h"
#include "UserPrompts.h"

#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

ChangeWindowIsbn::ChangeWindowIsbn(QDialog *window) : QObject(window)
{
    auto *grid = window->findChild<QGridLayout *>(QStringLiteral("FieldsLayout"));
    QWidget *panel = grid ? grid->parentWidget() : window;
    m_label = new QLabel(panel);
    m_label->setObjectName(QStringLiteral("LabelIsbn"));
    m_edit = new QLineEdit(panel);
    m_edit->setObjectName(QStringLiteral("cngIsbn"));
    m_edit->setMaxLength(17);
    if (grid) {
        const int at = grid->rowCount();
        grid->addWidget(m_label, at, 0);
        grid->addWidget(m_edit, at, 1);
    }
    QWidget::setTabOrder(window->findChild<QWidget *>(QStringLiteral("cngClas")), m_edit);
    window->resize(window->width(), window->height() + m_edit->sizeHint().height());
    applyLanguage();
}

void ChangeWindowIsbn::applyLanguage()
{
    m_label->setText(LangStr(QStringLiteral("lisbn")));
}

void ChangeWindowIsbn::bookLoaded(const QString &id)
{
    try {
        m_loaded = IsbnStore::isbnOf(mainApi()->IBDatabase1(), id);
    } catch (const FbError &) {
        m_loaded.clear();
    }
    m_edit->setText(m_loaded);
}

bool ChangeWindowIsbn::maySave()
{
    if (m_edit->text() == m_loaded)
        return true;
    const Isbn::Checked checked = Isbn::check(m_edit->text());
    if (checked.ok() || checked.problem == Isbn::Problem::Empty)
        return true;
    UserPrompts::message(UserPrompts::Kind::Warning,
                         LangStr(QStringLiteral("cisbnnotsaved")) + LangStr(Isbn::problemKey(checked.problem)));
    m_edit->setFocus();
    return false;
}

void ChangeWindowIsbn::bookSaved(const QString &id)
{
    const Isbn::Checked checked = Isbn::check(m_edit->text());
    if (m_edit->text() == m_loaded || id.isEmpty() || !(checked.ok() || checked.problem == Isbn::Problem::Empty))
        return;
    try {
        IsbnStore::run(mainApi()->IBDatabase1(), IsbnStore::setIsbnSql(id, checked.isbn13));
        m_loaded = m_edit->text();
        emit isbnWritten();
    } catch (const FbError &e) {
        LogEvent(LangStr(QStringLiteral("cisbnnotstored")) + e.message());
    }
}
