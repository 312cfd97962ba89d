#include "DialogBase.h"

#include "AppState.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace {
constexpr int kFadeIntervalMs = 10;
constexpr int kFadeStep = 25;
constexpr int kFadeLimit = 247;
constexpr int kEdgeWidth = 1;
constexpr int kEdgeDarkness = 160; // percent, as QColor::darker takes it
} // namespace

DialogBase::DialogBase(QWidget *parent, Fade fade)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_fade(fade)
{
    m_fadeTimer.setInterval(kFadeIntervalMs);
    connect(&m_fadeTimer, &QTimer::timeout, this, &DialogBase::fadeStep);
    if (fadesIn())
        setWindowOpacity(0.0);
    // Room for the edge: the form's layout stays inside it.
    setContentsMargins(kEdgeWidth, kEdgeWidth, kEdgeWidth, kEdgeWidth);
}

QColor DialogBase::edgeColor(const QColor &theme)
{
    // Pure black has no darker shade; lighten it so that the edge still shows.
    return theme.value() == 0 ? QColor(96, 96, 96) : theme.darker(kEdgeDarkness);
}

void DialogBase::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QPen(edgeColor(AppState::themeColor()), kEdgeWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -kEdgeWidth, -kEdgeWidth));
}

void DialogBase::applyThemeColor()
{
    const QColor color = AppState::themeColor();
    QList<QWidget *> widgets = m_themed;
    widgets.prepend(this);
    for (QWidget *w : widgets) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, color);
        w->setPalette(p);
        w->setAutoFillBackground(true);
    }
}

void DialogBase::placeOverOwner()
{
    const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen *screen = owner && owner->isVisible() ? owner->screen() : this->screen();
    if (!screen)
        return;
    const QRect frame = frameGeometry();
    const bool ownerShown = owner && owner->isVisible();
    // Where the user dragged it, it stays, as long as it is on the screen.
    if (screen->availableGeometry().contains(frame) &&
        (m_draggedByUser || !ownerShown || frame.intersects(owner->frameGeometry())))
        return;
    centreOver(this, owner);
}

void DialogBase::centreOver(QWidget *window, const QWidget *owner)
{
    const bool ownerShown = owner && owner->isVisible();
    const QScreen *screen = ownerShown ? owner->screen() : window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QRect frame = window->frameGeometry();
    if (ownerShown)
        frame.moveCenter(owner->frameGeometry().center());
    frame.moveLeft(qBound(area.left(), frame.left(), qMax(area.left(), area.right() - frame.width() + 1)));
    frame.moveTop(qBound(area.top(), frame.top(), qMax(area.top(), area.bottom() - frame.height() + 1)));
    window->move(frame.topLeft());
}

void DialogBase::showEvent(QShowEvent *event)
{
    // Over its owner and whole on the screen, whatever moved it while hidden.
    placeOverOwner();
    applyThemeColor();
    if (fadesIn()) {
        setWindowOpacity(0.0);
        m_fadeTimer.start();
    }
    QDialog::showEvent(event);
}

void DialogBase::hideEvent(QHideEvent *event)
{
    if (fadesIn()) {
        m_fadeTimer.stop();
        setWindowOpacity(0.0);
    }
    QDialog::hideEvent(event);
}

void DialogBase::fadeStep()
{
    const int now = qRound(windowOpacity() * 255);
    if (now < kFadeLimit) {
        setWindowOpacity((now + kFadeStep) / 255.0);
    } else {
        setWindowOpacity(1.0);
        m_fadeTimer.stop();
    }
}

void DialogBase::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    }
    QDialog::mousePressEvent(event);
}

void DialogBase::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - m_dragOffset);
        m_draggedByUser = true;
    }
    QDialog::mouseMoveEvent(event);
}

void DialogBase::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    QDialog::mouseReleaseEvent(event);
}
