#include "DBFieldWidgets.h"

#include "DataSource.h"
#include "FbQuery.h"

#include <QMouseEvent>

FieldLink::FieldLink(QWidget *owner, std::function<void(const QString &)> show)
    : m_owner(owner)
    , m_show(std::move(show))
{
}

bool FieldLink::eventFilter(QObject *watched, QEvent *event)
{
    // The window's own show handlers run after this and read the fields.
    if (event->type() == QEvent::Show && m_stale && watched == m_owner->window())
        refresh();
    return false;
}

void FieldLink::setDataSource(DataSource *source)
{
    if (m_source == source)
        return;
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (source) {
        connect(source, &DataSource::changed, this, &FieldLink::refresh);
        connect(source, &QObject::destroyed, this, &FieldLink::refresh);
    }
    refresh();
}

void FieldLink::setDataField(const QString &field)
{
    m_field = field;
    refresh();
}

QString FieldLink::fieldText() const
{
    const FbQuery *query = m_source ? m_source->dataSet() : nullptr;
    if (!query || !query->active() || m_field.isEmpty())
        return {};
    const int column = query->fieldIndex(m_field);
    const int row = query->currentRow();
    if (column < 0 || row < 0 || row >= query->fetchedCount())
        return {};
    return FbQuery::displayText(query->value(row, column));
}

void FieldLink::refresh()
{
    // Every row move would otherwise redraw the fields of the hidden book and loan windows.
    // A field inside a shown window (even one hidden on its own) follows at once: code reads it.
    QWidget *window = m_owner->window();
    if (window != m_owner && !window->isVisible()) {
        if (!m_stale)
            window->installEventFilter(this);
        m_stale = true;
        return;
    }
    if (m_stale)
        window->removeEventFilter(this);
    m_stale = false;
    m_show(fieldText());
}

DBText::DBText(QWidget *parent)
    : QLabel(parent)
    , m_link(this, [this](const QString &text) { setText(text); })
{
    // A title that looks like markup is still shown as it is stored.
    setTextFormat(Qt::PlainText);
}

void DBText::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

DBEdit::DBEdit(QWidget *parent)
    : QLineEdit(parent)
    , m_link(this, [this](const QString &text) {
        setText(text);
        setCursorPosition(0);
    })
{
}

DBMemo::DBMemo(QWidget *parent)
    : QPlainTextEdit(parent)
    , m_link(this, [this](const QString &text) { setPlainText(text); })
{
}
