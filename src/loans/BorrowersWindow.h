#pragma once

#include "DialogBase.h"

#include <memory>

class DataSource;
class FbQuery;

namespace Ui {
class BorrowersWindow;
}

// The borrowers' book: name, phone, e-mail and note of the people books are lent to, and each
// one's loans, current and past.
class BorrowersWindow : public DialogBase
{
    Q_OBJECT
public:
    explicit BorrowersWindow(QWidget *parent = nullptr);
    ~BorrowersWindow() override;

    void reloadList(const QString &select = QString());

public slots:
    void newClick();
    void saveClick();
    void deleteClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showBorrower();
    void showLoans(const QString &name);
    void applyTexts();

    std::unique_ptr<Ui::BorrowersWindow> ui;
    FbQuery *m_loansQuery = nullptr;
    DataSource *m_loansSource = nullptr;
    QString m_shownName; // the borrower being edited; empty for a new one
};
