#pragma once

#include "DialogBase.h"

#include <memory>

namespace Ui {
class TAboutBox;
}

// About window.
class TAboutBox : public DialogBase
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);
    ~TAboutBox() override;

private:
    std::unique_ptr<Ui::TAboutBox> ui;
};

extern TAboutBox *AboutBox;
