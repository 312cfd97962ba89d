#pragma once

#include <QObject>
#include <QString>

class QDialog;
class QLabel;
class QLineEdit;

// The ISBN row of the change window: loaded with the book, checked before anything is saved,
// written (or removed when emptied) with the book's other fields.
class ChangeWindowIsbn : public QObject
{
    Q_OBJECT
public:
    explicit ChangeWindowIsbn(QDialog *window);
    void bookLoaded(const QString &id);
    // False (after saying why) keeps every field of the book from being written.
    bool maySave();
    void bookSaved(const QString &id);
    void applyLanguage();
    QLineEdit *isbnEdit() const { return m_edit; }

signals:
    void isbnWritten();

private:
    QLabel *m_label;
    QLineEdit *m_edit;
    QString m_loaded;
};
