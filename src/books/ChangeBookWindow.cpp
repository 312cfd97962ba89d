#include "ChangeBookWindow.h"

#include "ui_ChangeBookWindow.h"

Tcng *cng = nullptr;

Tcng::Tcng(QWidget *parent)
    : DialogBase(parent)
    , ui(std::make_unique<Ui::Tcng>())
{
    cng = this;
    ui->setupUi(this);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

Tcng::~Tcng()
{
    if (cng == this)
        cng = nullptr;
}
