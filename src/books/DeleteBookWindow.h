#pragma once

#include "DialogBase.h"

#include <functional>
#include <memory>

namespace Ui
{
class Tdel;
}

// Delete book window: deletes one book by its identifier.
class Tdel : public DialogBase
{
    Q_OBJECT
public:
    explicit Tdel(QWidget *parent = nullptr);
    ~Tdel() override;

    // The routine that sets the window's texts in the current language at every showing.
    static void setLanguageRoutine(std::function<void()> routine);

public slots:
    void FormShow();
    void Button2Click(); // delete
    void Button1Click(); // close
    void DBText1Click();
    void DBText2Click();
    void Label6Click(); // the link "Clear"
    void MultiDelLbClick();

protected:
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    std::unique_ptr<Ui::Tdel> ui;
};

extern Tdel *del;

// Runs one DELETE of a book through the book list query and reports it on the console.
enum class DeleteOutcome {
    Deleted,
    NoSuchBook, // the statement ran but no book has the identifier
    Refused,    // the database refused it (the book is lent, or the connection failed)
};
DeleteOutcome deleteBook(qint64 id);
// The plain statement that no book has the identifier.
QString noSuchBookMessage(qint64 id);
// The message of a refused delete.
QString deleteRefusedMessage();
