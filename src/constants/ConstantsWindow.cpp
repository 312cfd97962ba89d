#include "ConstantsWindow.h"

#include "ui_ConstantsWindow.h"

TConstantsF *ConstantsF = nullptr;

TConstantsF::TConstantsF(QWidget *parent)
    : DialogBase(parent)
    , ui(std::make_unique<Ui::TConstantsF>())
{
    ConstantsF = this;
    ui->setupUi(this);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

TConstantsF::~TConstantsF()
{
    if (ConstantsF == this)
        ConstantsF = nullptr;
}
