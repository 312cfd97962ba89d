#pragma once

#include "DialogBase.h"

#include <memory>

namespace Ui {
class TMultiDelF;
}

// Multi delete window.
class TMultiDelF : public DialogBase
{
    Q_OBJECT
public:
    explicit TMultiDelF(QWidget *parent = nullptr);
    ~TMultiDelF() override;

private:
    std::unique_ptr<Ui::TMultiDelF> ui;
};

extern TMultiDelF *MultiDelF;
