#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class LoanSearchBar;
}

// The bar above the loan list: ordering field and direction, search text and field, the loan
// change window's button and the (hidden) refresh.
class LoanSearchBar : public QWidget
{
    Q_OBJECT
public:
    explicit LoanSearchBar(QWidget *parent = nullptr);
    ~LoanSearchBar() override;

public slots:
    void GivenArrDownClick();
    void GivenArrUpClick();
    void GivenSrchClick();
    void GivenCngClick();
    void GivenRefreshClick();

private:
    void arrange(bool ascending);

    std::unique_ptr<Ui::LoanSearchBar> ui;
};
