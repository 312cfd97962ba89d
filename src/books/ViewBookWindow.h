#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class TViewF;
}

// View book window.
class TViewF : public QWidget
{
    Q_OBJECT
public:
    explicit TViewF(QWidget *parent = nullptr);
    ~TViewF() override;

private:
    std::unique_ptr<Ui::TViewF> ui;
};

extern TViewF *ViewF;
