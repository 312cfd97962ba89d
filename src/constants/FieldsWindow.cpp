#include "FieldsWindow.h"

#include "ui_FieldsWindow.h"

#include "StyleIcon.h"

#include <QStyle>

TFieldsF *FieldsF = nullptr;

TFieldsF::TFieldsF(QWidget *parent) : DialogBase(parent), ui(std::make_unique<Ui::TFieldsF>())
{
    FieldsF = this;
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setThemedWidgets({ui->Label2, ui->Panel1, ui->Panel2});
    showStandardPixmapWhenShown(ui->Image1, QStyle::SP_TitleBarCloseButton, 14);
    connect(ui->Button1, &QPushButton::clicked, this, &TFieldsF::Button1Click);
    connect(ui->Image1, &ClickableLabel::clicked, this, &TFieldsF::Image1Click);
}

TFieldsF::~TFieldsF()
{
    if (FieldsF == this)
        FieldsF = nullptr;
}

QAbstractButton *TFieldsF::FieldsAllowEmptyChk() const
{
    return ui->FieldsAllowEmptyChk;
}

void TFieldsF::Button1Click()
{
    close();
}

void TFieldsF::Image1Click()
{
    close();
}
