#pragma once

#include "DialogBase.h"
#include "Reminder.h"

#include <memory>

namespace Ui {
class TGivenCngF;
}

// Loan change window: renames the borrower of every loan row of the loan list's current book.
class TGivenCngF : public DialogBase
{
    Q_OBJECT
public:
    explicit TGivenCngF(QWidget *parent = nullptr);
    ~TGivenCngF() override;

public slots:
    void FormShow();
    void Button1Click();
    void Button2Click();
    // "Extend": the due date moves the chosen number of days later.
    void extendClick();
    // "Remind": the e-mail program with a reminder; "Copy reminder": the same text on the clipboard.
    void remindClick();
    void copyReminderClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Runs a statement on the current loan through the loan list's query, which is re-run after.
    bool runOnLoan(const QString &statement, const char *failure);
    void showDue();
    // The current loan as the reminder names it.
    Reminder::Loan currentLoan() const;

    std::unique_ptr<Ui::TGivenCngF> ui;
};

extern TGivenCngF *GivenCngF;
