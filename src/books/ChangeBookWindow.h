#pragma once

#include "DialogBase.h"

#include <memory>

namespace Ui {
class Tcng;
}

// Edit book window.
class Tcng : public DialogBase
{
    Q_OBJECT
public:
    explicit Tcng(QWidget *parent = nullptr);
    ~Tcng() override;

private:
    std::unique_ptr<Ui::Tcng> ui;
};

extern Tcng *cng;
