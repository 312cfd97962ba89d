#pragma once

#include "DialogBase.h"

#include <memory>

namespace Ui {
class Tadd;
}

// Add book window.
class Tadd : public DialogBase
{
    Q_OBJECT
public:
    explicit Tadd(QWidget *parent = nullptr);
    ~Tadd() override;

    // The option "Close this window after book adding", kept in the marker file .add.
    bool closesAfterAdding() const;

private:
    std::unique_ptr<Ui::Tadd> ui;
};

extern Tadd *add;
