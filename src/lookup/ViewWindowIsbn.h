#pragma once

#include <QObject>

class QLabel;
class QLineEdit;
class QWidget;

// The ISBN row and the cover of the view window, following the current book.
class ViewWindowIsbn : public QObject
{
    Q_OBJECT
public:
    explicit ViewWindowIsbn(QWidget *window);
    void applyLanguage();
    void refresh();
    QLineEdit *isbnField() const { return m_value; }
    QLabel *coverLabel() const { return m_cover; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_id = nullptr;
    QLabel *m_label;
    QLineEdit *m_value;
    QLabel *m_cover;
};
