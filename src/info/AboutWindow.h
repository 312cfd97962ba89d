#pragma once

#include "DialogBase.h"

#include <functional>
#include <memory>

namespace Ui {
class TAboutBox;
}

// The about window: name, version and build, what the program is made with, credits and the
// links to the user guide and the projects' sites. Made on first use, shown modal.
class TAboutBox : public DialogBase
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);
    ~TAboutBox() override;

    // The routine that puts the catalogue texts into the window (ApplyAboutLanguage).
    static void setLanguageRoutine(std::function<void()> routine);

public slots:
    void FormShow();
    void ProgramIconDblClick();
    void Label5Click();
    void Label1Click();
    void Label2Click();
    void Label21Click();
    void Label23Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::TAboutBox> ui;
};

extern TAboutBox *AboutBox;
