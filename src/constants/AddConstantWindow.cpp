#include "AddConstantWindow.h"

#include "ConstantsWindow.h"
#include "ui_AddConstantWindow.h"

#include <QLineEdit>

TAddConstF *AddConstF = nullptr;

TAddConstF::TAddConstF(QWidget *parent) : DialogBase(parent), ui(std::make_unique<Ui::TAddConstF>())
{
    AddConstF = this;
    ui->setupUi(this);
    // Above the add-book window, which stays on top and opens it.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setThemedWidgets({ui->Label2, ui->Panel1});
    connect(ui->Button1, &QPushButton::clicked, this, &TAddConstF::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TAddConstF::Button2Click);
}

TAddConstF::~TAddConstF()
{
    if (AddConstF == this)
        AddConstF = nullptr;
}

void TAddConstF::ask(const QString &value)
{
    ui->ConstValue->setText(value);
    ui->Button1->setFocus();
    exec();
}

void TAddConstF::Button1Click()
{
    if (ConstantsF) {
        ConstantsF->NewConstEd()->setText(ui->ConstValue->text());
        ConstantsF->Button1Click();
    }
    accept();
}

void TAddConstF::Button2Click()
{
    reject();
}

void TAddConstF::done(int result)
{
    DialogBase::done(result);
    // Whatever the answer, the add-book window's drop-downs take fresh copies of the lists.
    if (ConstantsF)
        ConstantsF->copyConstantLists();
}
