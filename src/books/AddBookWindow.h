#pragma once

#include "BookStatements.h"
#include "DialogBase.h"

#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

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

    // Where the window reads the constant lists (Author, Year, Seria, Publisher, Place, Genre, Class)
    // and the option "Allow empty obligatory fields"; set by whoever owns those windows.
    using ConstantLists = std::function<QList<QStringList>()>;
    static void setConstantListsSource(ConstantLists source);
    static void setAllowEmptySource(std::function<bool()> source);

    // Fills the seven drop-down lists again; the texts typed into the fields stay.
    void fillConstantLists();

    QTimer Timer1; // hides the status line
    QTimer Timer2; // hides the characters-left counter

signals:
    // The add-constant images: field 0 Author … 6 Class, with the value to offer.
    void addConstantRequested(int field, const QString &value);
    void constantsWindowRequested();
    void fieldsWindowRequested();

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
};

extern Tadd *add;
