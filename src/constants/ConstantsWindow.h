#pragma once

#include "DialogBase.h"

#include <memory>

namespace Ui {
class TConstantsF;
}

// Constants window.
class TConstantsF : public DialogBase
{
    Q_OBJECT
public:
    explicit TConstantsF(QWidget *parent = nullptr);
    ~TConstantsF() override;

private:
    std::unique_ptr<Ui::TConstantsF> ui;
};

extern TConstantsF *ConstantsF;
