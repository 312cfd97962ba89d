#include "MenuAccelerators.h"

#include <QAction>
#include <QActionEvent>
#include <QMenu>
#include <QMenuBar>

namespace
{

// Positions of the letters to try: the initial of each word first, then the rest in order.
QList<qsizetype> candidates(const QString &text)
{
    QList<qsizetype> initials;
    QList<qsizetype> others;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text.at(i).isLetterOrNumber())
            continue;
        if (i == 0 || !text.at(i - 1).isLetterOrNumber())
            initials.append(i);
        else
            others.append(i);
    }
    return initials + others;
}

} // namespace

MenuAccelerators::MenuAccelerators(QObject *parent) : QObject(parent) {}

void MenuAccelerators::install(QMenuBar *bar)
{
    if (!bar || bar->findChild<MenuAccelerators *>(QString(), Qt::FindDirectChildrenOnly))
        return;
    auto *accelerators = new MenuAccelerators(bar);
    accelerators->watch(bar);
}

QChar MenuAccelerators::accelerator(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != u'&')
            continue;
        if (text.at(i + 1) != u'&')
            return text.at(i + 1).toLower();
        ++i; // "&&" is a plain ampersand
    }
    return {};
}

bool MenuAccelerators::hasAccelerator(const QString &text)
{
    return !accelerator(text).isNull();
}

QString MenuAccelerators::marked(const QString &text, QString &taken)
{
    if (hasAccelerator(text) || text.contains(u'&'))
        return text;
    for (qsizetype at : candidates(text)) {
        const QChar letter = text.at(at).toLower();
        if (!taken.contains(letter)) {
            taken.append(letter);
            return text.left(at) + u'&' + text.mid(at);
        }
    }
    return text;
}

void MenuAccelerators::watch(QWidget *widget)
{
    widget->installEventFilter(this);
    assign(widget);
}

void MenuAccelerators::assign(QWidget *widget)
{
    if (m_busy)
        return;
    m_busy = true;
    const QList<QAction *> actions = widget->actions();
    QString taken;
    for (const QAction *action : actions) {
        const QChar letter = accelerator(action->text());
        if (!letter.isNull())
            taken.append(letter);
    }
    QList<QMenu *> unwatched;
    for (QAction *action : actions) {
        if (action->isSeparator() || action->text().isEmpty())
            continue;
        const QString text = marked(action->text(), taken);
        if (text != action->text())
            action->setText(text);
        QMenu *menu = action->menu();
        if (menu && !m_watched.contains(menu))
            unwatched.append(menu);
    }
    m_busy = false;
    for (QMenu *menu : unwatched) {
        m_watched.append(menu);
        watch(menu);
    }
}

bool MenuAccelerators::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ActionAdded:
    case QEvent::ActionChanged:
    case QEvent::ActionRemoved:
        if (auto *widget = qobject_cast<QWidget *>(watched))
            assign(widget);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
