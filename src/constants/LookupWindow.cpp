#include "LookupWindow.h"

#include "ui_LookupWindow.h"

TLookupF *LookupF = nullptr;

TLookupF::TLookupF(QWidget *parent)
    : DialogBase(parent)
    , ui(std::make_unique<Ui::TLookupF>())
{
    LookupF = this;
    ui->setupUi(this);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

TLookupF::~TLookupF()
{
    if (LookupF == this)
        LookupF = nullptr;
}
