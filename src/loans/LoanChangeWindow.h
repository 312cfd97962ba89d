#pragma once

#include "DialogBase.h"

#include <memory>

namespace Ui {
class TGivenCngF;
}

// Change borrower window.
class TGivenCngF : public DialogBase
{
    Q_OBJECT
public:
    explicit TGivenCngF(QWidget *parent = nullptr);
    ~TGivenCngF() override;

private:
    std::unique_ptr<Ui::TGivenCngF> ui;
};

extern TGivenCngF *GivenCngF;
