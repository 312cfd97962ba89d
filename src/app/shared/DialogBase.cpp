#include "DialogBase.h"

#include "AppState.h"

#include <QMouseEvent>
#include <QPainter>

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

void DialogBase::showEvent(QShowEvent *event)
{
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
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - m_dragOffset);
    QDialog::mouseMoveEvent(event);
}

void DialogBase::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    QDialog::mouseReleaseEvent(event);
}
