#include "AboutWindow.h"

#include "ui_AboutWindow.h"

TAboutBox *AboutBox = nullptr;

TAboutBox::TAboutBox(QWidget *parent)
    : DialogBase(parent, Fade::Yes)
    , ui(std::make_unique<Ui::TAboutBox>())
{
    AboutBox = this;
    ui->setupUi(this);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

TAboutBox::~TAboutBox()
{
    if (AboutBox == this)
        AboutBox = nullptr;
}
