#pragma once

#include "BookStatements.h"
#include "DialogBase.h"

#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class QAbstractButton;
class QComboBox;
class QLineEdit;

namespace Ui
{
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

    // The check box "Allow empty obligatory fields", read at every add; unset means not allowed.
    void setAllowEmptyOption(QAbstractButton *option);

    // Replaces the items of the seven drop-down lists (Author, Year, Seria, Publisher, Place,
    // Genre, Class) by copies of the constant lists; the texts typed into the fields stay.
    void setConstantLists(const QList<QStringList> &lists);

    // Asked before a ready book is added; false keeps it out (the ISBN row's checks).
    void setAddGuard(const std::function<bool()> &guard) { m_addGuard = guard; }

    QTimer Timer1; // hides the status line
    QTimer Timer2; // hides the characters-left counter

signals:
    // The add-constant images: field 0 Author … 6 Class, with the value to offer.
    void addConstantRequested(int field, const QString &value);
    void constantsWindowRequested();
    void fieldsWindowRequested();
    // Shown: the drop-down lists want fresh copies of the constant lists.
    void constantListsWanted();
    // The book's statement succeeded.
    void bookAdded();

public slots:
    void FormShow();
    void AddBookClick();
    void AddCancelClick();
    void Label18Click();
    void Label10Click();
    void Timer1Timer();
    void Timer2Timer();

protected:
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    void fieldChanged(int longest, const QString &text, bool restartTimer);
    void imageClick(int field, QComboBox *box);
    void showStatus(const QString &text, const QColor &color);
    BookStatements::BookFields fields() const;

    std::unique_ptr<Ui::Tadd> ui;
    QPointer<QAbstractButton> m_allowEmpty;
    std::function<bool()> m_addGuard;
};

extern Tadd *add;
