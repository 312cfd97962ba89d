#pragma once

#include "DialogBase.h"

#include <memory>

namespace Ui
{
class TMultiDelF;
}

// Multi delete window: collects identifiers while the user moves through the books, then deletes them.
class TMultiDelF : public DialogBase
{
    Q_OBJECT
public:
    explicit TMultiDelF(QWidget *parent = nullptr);
    ~TMultiDelF() override;

public slots:
    void FormShow();
    void Button2Click(); // delete all
    void Button1Click(); // close
    void MarkToDelLbClick();
    void DBText1Click();
    void UnmarkToDelLbClick();
    void ClearDelListClick();
    void DBText2Click();

protected:
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    void updateCount();

    std::unique_ptr<Ui::TMultiDelF> ui;
};

extern TMultiDelF *MultiDelF;
