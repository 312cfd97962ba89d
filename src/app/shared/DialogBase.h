#pragma once

#include <QColor>
#include <QDialog>
#include <QList>
#include <QPoint>
#include <QTimer>

// What every dialog window of the program shares: no frame or title bar, dragged by its
// background, painted in the theme colour when shown, and optionally fading in.
class DialogBase : public QDialog
{
    Q_OBJECT
public:
    enum class Fade { No, Yes };
    explicit DialogBase(QWidget *parent = nullptr, Fade fade = Fade::No);

    bool fadesIn() const { return m_fade == Fade::Yes; }
    // The thin edge that sets a dialog apart from the list behind it: the theme colour, darker.
    static QColor edgeColor(const QColor &theme);
    // Centres a window over its owner's window (when shown), whole on the owner's screen.
    static void centreOver(QWidget *window, const QWidget *owner);

protected:
    // The title label and panels that take the theme colour along with the window.
    void setThemedWidgets(const QList<QWidget *> &widgets) { m_themed = widgets; }
    void applyThemeColor();
    // Centres the window over its owner when it would open off the screen or away from it.
    void placeOverOwner();

    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void fadeStep();

    Fade m_fade;
    QTimer m_fadeTimer;
    QList<QWidget *> m_themed;
    QPoint m_dragOffset;
    bool m_dragging = false;
    bool m_draggedByUser = false;
};
