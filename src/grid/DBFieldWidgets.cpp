#include "DBFieldWidgets.h"

#include "DataSource.h"
#include "FbQuery.h"

#include <QMouseEvent>

FieldLink::FieldLink(std::function<void(const QString &)> show)
    : m_show(std::move(show))
{
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
    m_show(fieldText());
}

DBText::DBText(QWidget *parent)
    : QLabel(parent)
    , m_link([this](const QString &text) { setText(text); })
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
    , m_link([this](const QString &text) {
        setText(text);
        setCursorPosition(0);
    })
{
}

DBMemo::DBMemo(QWidget *parent)
    : QPlainTextEdit(parent)
    , m_link([this](const QString &text) { setPlainText(text); })
{
}
