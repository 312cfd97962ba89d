#include "DialogKeys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

DialogKeys::DialogKeys(QWidget *window, QAbstractButton *defaultButton, QAbstractButton *cancelButton)
    : QObject(window), m_default(defaultButton), m_cancel(cancelButton)
{
}

void DialogKeys::install(QWidget *window, QAbstractButton *defaultButton, QAbstractButton *cancelButton)
{
    auto *keys = new DialogKeys(window, defaultButton, cancelButton);
    window->installEventFilter(keys);
    for (QWidget *child : window->findChildren<QWidget *>()) {
        // A push button keeps Enter for itself, as everywhere else.
        if (!qobject_cast<QPushButton *>(child))
            child->installEventFilter(keys);
    }
    for (QComboBox *combo : window->findChildren<QComboBox *>())
        combo->setInsertPolicy(QComboBox::NoInsert);
}

bool DialogKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    // An open drop-down list (or any pop-up) answers Enter and Escape itself; its list lives in a
    // window of its own, which may already have closed by the time the key press arrives.
    auto *widget = qobject_cast<QWidget *>(watched);
    if (QApplication::activePopupWidget() || !widget || widget->window() != parent())
        return QObject::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() & ~(Qt::KeypadModifier))
        return QObject::eventFilter(watched, event);
    QAbstractButton *button = nullptr;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        button = m_default;
    else if (key->key() == Qt::Key_Escape)
        button = m_cancel;
    if (!button)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride) {
        // Keep the key from turning into a shortcut elsewhere; the key press follows.
        event->accept();
        return true;
    }
    button->click();
    return true;
}
