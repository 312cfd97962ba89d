#include "ReturnWindow.h"

#include "ui_ReturnWindow.h"

TBackF *BackF = nullptr;

TBackF::TBackF(QWidget *parent)
    : DialogBase(parent)
    , ui(std::make_unique<Ui::TBackF>())
{
    BackF = this;
    ui->setupUi(this);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

TBackF::~TBackF()
{
    if (BackF == this)
        BackF = nullptr;
}
