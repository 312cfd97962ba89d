#pragma once

#include "DialogBase.h"

#include <QLocale>
#include <memory>

class QStringListModel;

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
    // "+" beside the borrower: puts the typed name into the borrowers' book.
    void addBorrowerClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::TGivenF> ui;
    QLocale m_dateLocale = QLocale::system();
    QStringListModel *m_names = nullptr;
};

extern TGivenF *GivenF;
