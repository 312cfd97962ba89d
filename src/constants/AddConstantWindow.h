#pragma once

#include "DialogBase.h"

#include <memory>

namespace Ui {
class TAddConstF;
}

// Add constant window.
class TAddConstF : public DialogBase
{
    Q_OBJECT
public:
    explicit TAddConstF(QWidget *parent = nullptr);
    ~TAddConstF() override;

private:
    std::unique_ptr<Ui::TAddConstF> ui;
};

extern TAddConstF *AddConstF;
