#pragma once

#include "BookStatements.h"
#include "DialogBase.h"

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
};

extern Tcng *cng;
