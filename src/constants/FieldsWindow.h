#pragma once

#include "DialogBase.h"

#include <memory>

namespace Ui {
class TFieldsF;
}

// Book fields window.
class TFieldsF : public DialogBase
{
    Q_OBJECT
public:
    explicit TFieldsF(QWidget *parent = nullptr);
    ~TFieldsF() override;

private:
    std::unique_ptr<Ui::TFieldsF> ui;
};

extern TFieldsF *FieldsF;
