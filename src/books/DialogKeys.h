#pragma once

#include <QObject>
#include <QPointer>

class QAbstractButton;
class QWidget;

// Enter presses the window's default button and Escape its cancel button from any field, the
// edit line of an editable combo box included (which would otherwise take Enter for itself).
class DialogKeys : public QObject
{
    Q_OBJECT
public:
    static void install(QWidget *window, QAbstractButton *defaultButton, QAbstractButton *cancelButton);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DialogKeys(QWidget *window, QAbstractButton *defaultButton, QAbstractButton *cancelButton);

    QPointer<QAbstractButton> m_default;
    QPointer<QAbstractButton> m_cancel;
};
