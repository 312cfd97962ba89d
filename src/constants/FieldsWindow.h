#pragma once

#include "DialogBase.h"

#include <memory>

class QAbstractButton;

namespace Ui
{
class TFieldsF;
}

// Book fields window: the add-book window's option of allowing empty obligatory fields.
class TFieldsF : public DialogBase
{
    Q_OBJECT
public:
    explicit TFieldsF(QWidget *parent = nullptr);
    ~TFieldsF() override;

    // "Allow empty obligatory fields", read by the add-book window at every add; unchecked at start.
    QAbstractButton *FieldsAllowEmptyChk() const;

public slots:
    void Button1Click(); // "OK"
    void Image1Click();  // the close picture

private:
    std::unique_ptr<Ui::TFieldsF> ui;
};

extern TFieldsF *FieldsF;
