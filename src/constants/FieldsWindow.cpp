#include "FieldsWindow.h"

#include "ui_FieldsWindow.h"

TFieldsF *FieldsF = nullptr;

TFieldsF::TFieldsF(QWidget *parent)
    : DialogBase(parent)
    , ui(std::make_unique<Ui::TFieldsF>())
{
    FieldsF = this;
    ui->setupUi(this);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

TFieldsF::~TFieldsF()
{
    if (FieldsF == this)
        FieldsF = nullptr;
}
