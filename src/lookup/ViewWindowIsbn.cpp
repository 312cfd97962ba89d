#include "ViewWindowIsbn.h"

#include "AppState.h"
#include "CoverPicture.h"
#include "DataSource.h"
#include "FbQuery.h"
#include "FbError.h"
#include "IsbnStore.h"
#include "LangStr.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

ViewWindowIsbn::ViewWindowIsbn(QWidget *window) : QObject(window)
{
    auto *grid = window->findChild<QGridLayout *>(QStringLiteral("FieldsLayout"));
    QWidget *panel = grid ? grid->parentWidget() : window;
    m_label = new QLabel(panel);
    m_label->setObjectName(QStringLiteral("LabelIsbn"));
    m_value = new QLineEdit(panel);
    m_value->setObjectName(QStringLiteral("getIsbn"));
    m_value->setReadOnly(true);
    m_cover = CoverPicture::makeLabel(panel, QStringLiteral("getCover"));
    if (grid) {
        const int at = grid->rowCount();
        grid->addWidget(m_label, at, 0);
        grid->addWidget(m_value, at, 1);
        grid->addWidget(m_cover, at + 1, 1);
    }
    window->resize(window->width(), window->height() + m_value->sizeHint().height());
    m_id = window->findChild<QLineEdit *>(QStringLiteral("getId"));
    if (m_id)
        connect(m_id, &QLineEdit::textChanged, this, &ViewWindowIsbn::refresh);
    // A save may change the ISBN without moving to another book.
    if (mainApi() && mainApi()->DataSource1())
        connect(mainApi()->DataSource1(), &DataSource::opened, this, &ViewWindowIsbn::refresh);
    window->installEventFilter(this);
    applyLanguage();
}

bool ViewWindowIsbn::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show)
        QMetaObject::invokeMethod(this, &ViewWindowIsbn::refresh, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

void ViewWindowIsbn::applyLanguage()
{
    m_label->setText(LangStr(QStringLiteral("lisbn")));
}

void ViewWindowIsbn::refresh()
{
    IsbnStore::Stored stored;
    if (m_id && m_value->isVisible()) {
        try {
            stored = IsbnStore::storedOf(mainApi()->IBDatabase1(), m_id->text());
        } catch (const FbError &) {
        }
    }
    m_value->setText(stored.isbn);
    CoverPicture::show(m_cover, stored.cover);
}
