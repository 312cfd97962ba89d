#pragma once

#include <QColor>
#include <QLabel>

// A link: a label that emits clicked() and takes a hover colour while the mouse is over it.
class ClickableLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickableLabel(QWidget *parent = nullptr);

    void setTextColor(const QColor &color);
    QColor textColor() const { return m_color; }

signals:
    void clicked();
    void doubleClicked();
    void mouseEntered();
    void mouseLeft();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    // A link given a focus policy is reached by Tab, underlined while it has the focus, and
    // followed with Space or Enter.
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QColor m_color;
};
