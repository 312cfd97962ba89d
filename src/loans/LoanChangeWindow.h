#pragma once

#include "DialogBase.h"

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

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::TGivenCngF> ui;
};

extern TGivenCngF *GivenCngF;
