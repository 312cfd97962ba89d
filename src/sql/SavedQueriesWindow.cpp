#include "SavedQueriesWindow.h"

#include "ui_SavedQueriesWindow.h"

TsqlF *sqlF = nullptr;

TsqlF::TsqlF(QWidget *parent)
    : DialogBase(parent)
    , ui(std::make_unique<Ui::TsqlF>())
{
    sqlF = this;
    ui->setupUi(this);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

TsqlF::~TsqlF()
{
    if (sqlF == this)
        sqlF = nullptr;
}
