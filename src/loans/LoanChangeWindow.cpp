#include "LoanChangeWindow.h"

#include "ui_LoanChangeWindow.h"

TGivenCngF *GivenCngF = nullptr;

TGivenCngF::TGivenCngF(QWidget *parent)
    : DialogBase(parent)
    , ui(std::make_unique<Ui::TGivenCngF>())
{
    GivenCngF = this;
    ui->setupUi(this);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

TGivenCngF::~TGivenCngF()
{
    if (GivenCngF == this)
        GivenCngF = nullptr;
}
