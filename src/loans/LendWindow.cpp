#include "LendWindow.h"

#include "ui_LendWindow.h"

TGivenF *GivenF = nullptr;

TGivenF::TGivenF(QWidget *parent)
    : DialogBase(parent)
    , ui(std::make_unique<Ui::TGivenF>())
{
    GivenF = this;
    ui->setupUi(this);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

TGivenF::~TGivenF()
{
    if (GivenF == this)
        GivenF = nullptr;
}
