#pragma once

#include "BookRecord.h"
#include "IsbnLookup.h"

#include <QObject>
#include <QPointer>

class ClickableLabel;
class CoverFetch;
class QDialog;
class QLabel;
class QLineEdit;

// The ISBN row of the add window: check digits as typed, a lookup that fills the window (by the
// link or by a scanner's Enter), the next source, Stop, and the duplicate warning before adding.
class AddWindowIsbn : public QObject
{
    Q_OBJECT
public:
    explicit AddWindowIsbn(QDialog *window);

    // Before the book is added: a wrong ISBN refuses, a known one asks. False keeps the book out.
    bool mayAdd();
    // After the book was added: its ISBN is stored with it.
    void bookAdded();
    // Texts of the row in the current language.
    void applyLanguage();

    QLineEdit *isbnEdit() const { return m_edit; }
    QLabel *statusLabel() const { return m_status; }
    QLabel *coverLabel() const { return m_cover; }
    CoverFetch *coverFetch() const { return m_coverFetch; }
    IsbnLookup *lookup() const { return m_lookup; }

    void lookUp();
    void tryNext();
    // The ISBN from the barcode in a photo file, then its lookup.
    void fromPicture();
    // The same from the camera (offered only where there is one).
    void fromCamera();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void checkTyped();
    void fill(const BookRecord &record, const QString &sourceName, int sourceIndex);
    void showStatus(const QString &text, bool error);
    void showCover(const QByteArray &picture);
    void setRunning(bool running);

    QDialog *m_window;
    QLineEdit *m_edit = nullptr;
    QLabel *m_label = nullptr;
    ClickableLabel *m_lookupLink = nullptr;
    ClickableLabel *m_nextLink = nullptr;
    ClickableLabel *m_pictureLink = nullptr;
    ClickableLabel *m_cameraLink = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_cover = nullptr;
    CoverFetch *m_coverFetch;
    QByteArray m_coverPicture; // the cover of m_isbn's book, as its catalogue gave it
    IsbnLookup *m_lookup;
    QString m_isbn;           // the ISBN of the lookup under way or last answered
    QString m_filledFrom;     // the source that filled the window for m_isbn
    int m_nextSource = 0;
};
