#pragma once

#include "DialogBase.h"

#include <memory>

namespace Ui {
class TBackF;
}

// Return window: takes the loan list's current book back (every loan row of that book).
class TBackF : public DialogBase
{
    Q_OBJECT
public:
    explicit TBackF(QWidget *parent = nullptr);
    ~TBackF() override;

public slots:
    void Button1Click();
    void Button2Click();

private:
    std::unique_ptr<Ui::TBackF> ui;
};

extern TBackF *BackF;
