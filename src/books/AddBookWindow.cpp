#include "AddBookWindow.h"

#include "ui_AddBookWindow.h"
#include "AppState.h"
#include <QFile>

Tadd *add = nullptr;

Tadd::Tadd(QWidget *parent)
    : DialogBase(parent)
    , ui(std::make_unique<Ui::Tadd>())
{
    add = this;
    ui->setupUi(this);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::close);
    ui->CheckBox1->setChecked(QFile::exists(AppState::baseDirectory() + QStringLiteral(".add")));
}

Tadd::~Tadd()
{
    if (add == this)
        add = nullptr;
}

bool Tadd::closesAfterAdding() const
{
    return ui->CheckBox1->isChecked();
}
