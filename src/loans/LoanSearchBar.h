#pragma once

#include "TitleClickOrder.h"

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
    // Orders by the list column of that field, as the arrange list does; the list shows it.
    void arrangeByColumn(const QString &column);
    // Opens the list ordered by due date, soonest first.
    void arrangeByDueDate();

signals:
    // A search ran and the list it gave is empty.
    void nothingFound();

private:
    void arrange(bool ascending);

    std::unique_ptr<Ui::LoanSearchBar> ui;
    TitleClickOrder m_titleOrder;
};
