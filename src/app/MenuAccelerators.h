#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QMenuBar;
class QWidget;

// Gives every menu of a menu bar and every item of its menus an underlined letter (Alt+letter
// on the bar, the letter alone in an open menu) without changing their words: a text that
// already names its letter keeps it; the others take the first free initial of a word, else
// the first free letter. Texts set later (a language switch, items added in code) are given
// theirs as they change.
class MenuAccelerators : public QObject
{
    Q_OBJECT
public:
    static void install(QMenuBar *bar);

    // The text with its accelerator marked, given the letters already taken (lower case).
    static QString marked(const QString &text, QString &taken);
    static bool hasAccelerator(const QString &text);
    static QChar accelerator(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit MenuAccelerators(QObject *parent);
    void watch(QWidget *widget);
    void assign(QWidget *widget);

    bool m_busy = false;
    QList<QPointer<QWidget>> m_watched;
};
