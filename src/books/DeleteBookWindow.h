#pragma once

#include "DialogBase.h"

#include <memory>

namespace Ui {
class Tdel;
}

// Delete book window.
class Tdel : public DialogBase
{
    Q_OBJECT
public:
    explicit Tdel(QWidget *parent = nullptr);
    ~Tdel() override;

private:
    std::unique_ptr<Ui::Tdel> ui;
};

extern Tdel *del;
