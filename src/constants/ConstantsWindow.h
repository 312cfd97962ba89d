#pragma once

#include "DialogBase.h"

#include <QList>
#include <QStringList>

#include <array>
#include <memory>

class QLineEdit;
class QListWidget;

namespace Ui
{
class TConstantsF;
}

// Constants window: the seven constant lists with their files, edited by the user.
class TConstantsF : public DialogBase
{
    Q_OBJECT
public:
    explicit TConstantsF(QWidget *parent = nullptr);
    ~TConstantsF() override;

    // Reads the seven files into the lists; stops at the first file that cannot be read.
    void LoadConstantLists();
    // Writes the seven files, then reads them again; stops at the first that cannot be written.
    void SaveConstantLists();

    // The values of the seven lists, by field index.
    QList<QStringList> constantLists() const;
    // Asks whoever shows the lists elsewhere (the add-book window) to take fresh copies.
    void copyConstantLists();
    // Selects a field in the upper field list only, as the add-book window does before its prompt.
    void selectField(int field);
    QLineEdit *NewConstEd() const;

public slots:
    void Button1Click();    // "+": adds the value of NewConstEd to the selected field's list
    void Button3Click();    // "Lookup in library"
    void Button4Click();    // "OK"
    void DelConstLbClick(); // "Delete constant"
    void FieldsListClick();
    void FieldsList2Click();

signals:
    void constantListsCopied();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QListWidget *constList(int field) const;
    void showOnlyList(int field);
    void addValue(int field, const QString &value);

    std::unique_ptr<Ui::TConstantsF> ui;
    // Per field: the list holds what its file held when last read or written.
    std::array<bool, 7> m_holdsFile{};
    int m_rememberedField = 0;
    bool m_closing = false;
};

extern TConstantsF *ConstantsF;
