#include "DBNavigator.h"

#include "DataSource.h"
#include "FbError.h"
#include "FbQuery.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

DBNavigator::DBNavigator(QWidget *parent)
    : QWidget(parent)
{
    struct Look {
        const char *name;
        QStyle::StandardPixmap icon;
        const char *toolTip;
    };
    static const Look looks[] = {
        {"First", QStyle::SP_MediaSkipBackward, QT_TR_NOOP("First record")},
        {"Prior", QStyle::SP_ArrowLeft, QT_TR_NOOP("Prior record")},
        {"Next", QStyle::SP_ArrowRight, QT_TR_NOOP("Next record")},
        {"Last", QStyle::SP_MediaSkipForward, QT_TR_NOOP("Last record")},
    };

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < 4; ++i) {
        auto *button = new QToolButton(this);
        button->setObjectName(QLatin1String(looks[i].name));
        button->setIcon(style()->standardIcon(looks[i].icon, nullptr, this));
        button->setToolTip(tr(looks[i].toolTip));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        const auto which = static_cast<Button>(i);
        connect(button, &QToolButton::clicked, this, [this, which] { press(which); });
        layout->addWidget(button);
        m_buttons[i] = button;
    }
    updateButtons();
}

void DBNavigator::setDataSource(DataSource *source)
{
    if (m_source == source)
        return;
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (source) {
        connect(source, &DataSource::changed, this, &DBNavigator::updateButtons);
        connect(source, &DataSource::rowsFetched, this, &DBNavigator::updateButtons);
        connect(source, &QObject::destroyed, this, &DBNavigator::updateButtons);
    }
    updateButtons();
}

void DBNavigator::press(Button which)
{
    emit beforeAction(which);
    // The handler of beforeAction may have bound another source.
    FbQuery *query = m_source ? m_source->dataSet() : nullptr;
    if (query && query->active()) {
        try {
            switch (which) {
            case First:
                query->first();
                break;
            case Prior:
                query->prior();
                break;
            case Next:
                query->next();
                break;
            case Last:
                query->last();
                break;
            }
        } catch (const FbError &e) {
            emit actionFailed(e.message());
        } catch (const std::exception &e) {
            emit actionFailed(QString::fromLocal8Bit(e.what()));
        }
    }
    updateButtons();
}

void DBNavigator::updateButtons()
{
    const FbQuery *query = m_source ? m_source->dataSet() : nullptr;
    const bool rows = query && query->active() && !query->isEmpty();
    const bool back = rows && !query->isFirst();
    const bool forward = rows && !query->isLast();
    m_buttons[First]->setEnabled(back);
    m_buttons[Prior]->setEnabled(back);
    m_buttons[Next]->setEnabled(forward);
    m_buttons[Last]->setEnabled(forward);
}
