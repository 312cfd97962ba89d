#pragma once

#include "DialogBase.h"

#include <memory>

namespace Ui {
class TsqlF;
}

// SQL queries window.
class TsqlF : public DialogBase
{
    Q_OBJECT
public:
    explicit TsqlF(QWidget *parent = nullptr);
    ~TsqlF() override;

private:
    std::unique_ptr<Ui::TsqlF> ui;
};

extern TsqlF *sqlF;
