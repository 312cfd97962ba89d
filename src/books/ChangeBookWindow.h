#pragma once

#include "BookStatements.h"
#include "DialogBase.h"

#include <functional>
#include <memory>

namespace Ui
{
class Tcng;
}

// Edit book window: writes each field the user changed with a statement of its own.
class Tcng : public DialogBase
{
    Q_OBJECT
public:
    explicit Tcng(QWidget *parent = nullptr);
    ~Tcng() override;

    // Asked once every field is checked, before the first write; false keeps the book as it is.
    void setSaveGuard(const std::function<bool()> &guard) { m_saveGuard = guard; }

signals:
    // The boxes were filled with the book of this id; the book's fields were written.
    void bookLoaded(const QString &id);
    void bookSaved(const QString &id);

public slots:
    void FormShow();
    void RefreshClick();
    void BitBtn2Click(); // save
    void BitBtn1Click(); // cancel

protected:
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    void bindFields();
    BookStatements::BookFields editedFields() const;
    void setEditedFields(const BookStatements::BookFields &book);
    bool UpdateBookField(const QString &sql, const QString &id);
    bool saveOnServer(const QVector<BookStatements::FieldUpdate> &updates);
    void showChangedMeanwhile();
    void finishSave();

    std::unique_ptr<Ui::Tcng> ui;
    // The book the window was loaded with: a save writes to it only, whatever row is current then.
    QString m_id;
    BookStatements::BookFields m_loaded;
    std::function<bool()> m_saveGuard;
};

extern Tcng *cng;
