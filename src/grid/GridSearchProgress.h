#pragma once

#include <QElapsedTimer>
#include <QPointer>

class QProgressDialog;
class QWidget;

// Keeps the window alive while a search reads through a long result: between steps the
// events are handled, and once the search has run for a moment a modal progress window
// shows how many rows were searched and lets the user stop it.
class GridSearchProgress
{
public:
    // How long a search runs before the progress window shows.
    static int showAfterMs();
    static void setShowAfterMs(int ms);
    // The text of the button that stops the search, in the interface language.
    static void setCancelText(const QString &text);

    explicit GridSearchProgress(QWidget *parent);
    ~GridSearchProgress();
    GridSearchProgress(const GridSearchProgress &) = delete;
    GridSearchProgress &operator=(const GridSearchProgress &) = delete;

    // Called every few thousand rows; false once the user has stopped the search.
    bool step(int rowsSearched);
    bool stopped() const { return m_stopped; }

private:
    QWidget *m_parent;
    QElapsedTimer m_clock;
    qint64 m_lastEvents = 0;
    QPointer<QProgressDialog> m_dialog;
    bool m_stopped = false;
};
