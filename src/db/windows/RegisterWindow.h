#pragma once

#include "DialogBase.h"

#include <memory>

namespace Ui {
class TRegisterF;
}

// Register window.
class TRegisterF : public DialogBase
{
    Q_OBJECT
public:
    explicit TRegisterF(QWidget *parent = nullptr);
    ~TRegisterF() override;

private:
    std::unique_ptr<Ui::TRegisterF> ui;
};

extern TRegisterF *RegisterF;
