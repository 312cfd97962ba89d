#pragma once

#include "DialogBase.h"

#include <memory>

namespace Ui {
class TBackF;
}

// Back book window.
class TBackF : public DialogBase
{
    Q_OBJECT
public:
    explicit TBackF(QWidget *parent = nullptr);
    ~TBackF() override;

private:
    std::unique_ptr<Ui::TBackF> ui;
};

extern TBackF *BackF;
