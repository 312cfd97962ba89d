#include "ViewBookWindow.h"

#include "ui_ViewBookWindow.h"

TViewF *ViewF = nullptr;

TViewF::TViewF(QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , ui(std::make_unique<Ui::TViewF>())
{
    ViewF = this;
    ui->setupUi(this);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

TViewF::~TViewF()
{
    if (ViewF == this)
        ViewF = nullptr;
}
