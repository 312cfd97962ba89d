#include "DeleteBookWindow.h"

#include "ui_DeleteBookWindow.h"

Tdel *del = nullptr;

Tdel::Tdel(QWidget *parent)
    : DialogBase(parent)
    , ui(std::make_unique<Ui::Tdel>())
{
    del = this;
    ui->setupUi(this);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

Tdel::~Tdel()
{
    if (del == this)
        del = nullptr;
}
