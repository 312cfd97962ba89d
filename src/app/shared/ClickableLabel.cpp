#include "ClickableLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>

ClickableLabel::ClickableLabel(QWidget *parent)
    : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void ClickableLabel::setTextColor(const QColor &color)
{
    m_color = color;
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    setPalette(p);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickableLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    emit doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}

void ClickableLabel::enterEvent(QEnterEvent *event)
{
    emit mouseEntered();
    QLabel::enterEvent(event);
}

void ClickableLabel::leaveEvent(QEvent *event)
{
    emit mouseLeft();
    QLabel::leaveEvent(event);
}

void ClickableLabel::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void ClickableLabel::focusInEvent(QFocusEvent *event)
{
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    QLabel::focusInEvent(event);
}

void ClickableLabel::focusOutEvent(QFocusEvent *event)
{
    QFont plain = font();
    plain.setUnderline(false);
    setFont(plain);
    QLabel::focusOutEvent(event);
}
