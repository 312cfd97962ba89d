#pragma once

#include "DialogBase.h"

#include <functional>
#include <memory>

namespace Ui
{
class NewLibraryWindow;
}

// Database → "New library ...": an empty library file in Windows-1251 (as earlier versions made
// them) or in Unicode, made only where no file is, then offered as the library to use.
class NewLibraryWindow : public DialogBase
{
    Q_OBJECT
public:
    using UseLibrary = std::function<void(const QString &path)>;
    NewLibraryWindow(const UseLibrary &useLibrary, QWidget *parent = nullptr);
    ~NewLibraryWindow() override;

public slots:
    void BrowseBtnClick();
    void CreateBtnClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void applyTexts();

    std::unique_ptr<Ui::NewLibraryWindow> ui;
    UseLibrary m_useLibrary;
};
