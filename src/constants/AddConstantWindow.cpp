#include "AddConstantWindow.h"

#include "ui_AddConstantWindow.h"

TAddConstF *AddConstF = nullptr;

TAddConstF::TAddConstF(QWidget *parent)
    : DialogBase(parent)
    , ui(std::make_unique<Ui::TAddConstF>())
{
    AddConstF = this;
    ui->setupUi(this);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

TAddConstF::~TAddConstF()
{
    if (AddConstF == this)
        AddConstF = nullptr;
}
