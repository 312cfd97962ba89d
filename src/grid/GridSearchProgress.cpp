#include "GridSearchProgress.h"

#include <QApplication>
#include <QLocale>
#include <QProgressDialog>

namespace {
int g_showAfterMs = 400;
QString g_cancelText = QStringLiteral("Cancel");
// Events are handled this often, so the window repaints and the timers run during a search.
constexpr qint64 kEventsEveryMs = 50;
} // namespace

int GridSearchProgress::showAfterMs()
{
    return g_showAfterMs;
}

void GridSearchProgress::setShowAfterMs(int ms)
{
    g_showAfterMs = ms;
}

void GridSearchProgress::setCancelText(const QString &text)
{
    g_cancelText = text;
}

GridSearchProgress::GridSearchProgress(QWidget *parent)
    : m_parent(parent)
{
    m_clock.start();
}

GridSearchProgress::~GridSearchProgress()
{
    delete m_dialog;
}

bool GridSearchProgress::step(int rowsSearched)
{
    if (m_stopped)
        return false;
    const qint64 elapsed = m_clock.elapsed();
    const bool showNow = !m_dialog && elapsed >= g_showAfterMs;
    if (showNow) {
        m_dialog = new QProgressDialog(m_parent);
        m_dialog->setObjectName(QStringLiteral("GridSearchProgress"));
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setRange(0, 0);
        m_dialog->setCancelButtonText(g_cancelText);
        m_dialog->setMinimumDuration(0);
        m_dialog->show();
    }
    if (showNow || elapsed - m_lastEvents >= kEventsEveryMs) {
        m_lastEvents = elapsed;
        if (m_dialog)
            m_dialog->setLabelText(QLocale().toString(rowsSearched));
        // Until the modal progress window stands in front, typing must not start a second search.
        QApplication::processEvents(m_dialog ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    }
    m_stopped = m_dialog && m_dialog->wasCanceled();
    return !m_stopped;
}
