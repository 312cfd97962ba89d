#include "RegisterWindow.h"

#include "ui_RegisterWindow.h"

TRegisterF *RegisterF = nullptr;

TRegisterF::TRegisterF(QWidget *parent)
    : DialogBase(parent, Fade::Yes)
    , ui(std::make_unique<Ui::TRegisterF>())
{
    RegisterF = this;
    ui->setupUi(this);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

TRegisterF::~TRegisterF()
{
    if (RegisterF == this)
        RegisterF = nullptr;
}
