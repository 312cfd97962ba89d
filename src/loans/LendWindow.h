#pragma once

#include "DialogBase.h"

#include <QLocale>
#include <memory>

namespace Ui {
class TGivenF;
}

// Lend window: marks the book list's current book as given to someone on a date.
class TGivenF : public DialogBase
{
    Q_OBJECT
public:
    explicit TGivenF(QWidget *parent = nullptr);
    ~TGivenF() override;

    // The locale whose short date the statement is written in (the system's unless a test says).
    void setDateLocale(const QLocale &locale) { m_dateLocale = locale; }

public slots:
    void FormShow();
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::TGivenF> ui;
    QLocale m_dateLocale = QLocale::system();
};

extern TGivenF *GivenF;
