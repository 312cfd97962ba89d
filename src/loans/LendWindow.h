#pragma once

#include "DialogBase.h"

#include <memory>

namespace Ui {
class TGivenF;
}

// Give book window.
class TGivenF : public DialogBase
{
    Q_OBJECT
public:
    explicit TGivenF(QWidget *parent = nullptr);
    ~TGivenF() override;

private:
    std::unique_ptr<Ui::TGivenF> ui;
};

extern TGivenF *GivenF;
