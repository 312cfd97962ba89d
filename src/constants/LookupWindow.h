#pragma once

#include "DialogBase.h"

#include <memory>

namespace Ui {
class TLookupF;
}

// Lookup window.
class TLookupF : public DialogBase
{
    Q_OBJECT
public:
    explicit TLookupF(QWidget *parent = nullptr);
    ~TLookupF() override;

private:
    std::unique_ptr<Ui::TLookupF> ui;
};

extern TLookupF *LookupF;
