#pragma once

#include "DialogBase.h"

#include <memory>

namespace Ui
{
class TAddConstF;
}

// Add-constant prompt: offers a value typed in the add-book window for the constant list of the
// field selected in the constants window.
class TAddConstF : public DialogBase
{
    Q_OBJECT
public:
    explicit TAddConstF(QWidget *parent = nullptr);
    ~TAddConstF() override;

    // Shows the value and waits for the answer.
    void ask(const QString &value);

public slots:
    void Button1Click(); // "Yes"
    void Button2Click(); // "No"

protected:
    void done(int result) override;

private:
    std::unique_ptr<Ui::TAddConstF> ui;
};

extern TAddConstF *AddConstF;
