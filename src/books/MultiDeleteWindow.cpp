#include "MultiDeleteWindow.h"

#include "ui_MultiDeleteWindow.h"

TMultiDelF *MultiDelF = nullptr;

TMultiDelF::TMultiDelF(QWidget *parent)
    : DialogBase(parent)
    , ui(std::make_unique<Ui::TMultiDelF>())
{
    MultiDelF = this;
    ui->setupUi(this);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

TMultiDelF::~TMultiDelF()
{
    if (MultiDelF == this)
        MultiDelF = nullptr;
}
