#pragma once

#include "DialogBase.h"

#include <QColor>
#include <memory>

class QAction;
class QMenu;
class QSpinBox;

namespace Ui
{
class TSettings;
}

// The settings window: loads .settings and .theme when created, applies them to the main
// window, and writes both files when the user presses "Apply". The store it fills is
// settingsList(), which the rest of the program reads.
class TSettings : public DialogBase
{
    Q_OBJECT
public:
    explicit TSettings(QWidget *parent = nullptr);
    ~TSettings() override;

    Ui::TSettings *form() const { return ui.get(); }
    QMenu *PopupMenu1() const { return m_popupMenu; }
    QAction *N2() const { return m_n2; }

    bool languageChanged() const { return m_languageChanged; }
    // The colour that ColorBox1 shows.
    QColor colorBoxColor() const;
    void setColorBoxColor(const QColor &color);

public slots:
    void Button1Click();
    void Button2Click();
    void Image1Click();
    void Label6Click();
    void N2Click();
    void Label8Click();
    void Label7Click();
    void Label1Click();
    void sbTranspChange(int position);
    void SettingsLanguageCbChange();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Writes .settings and .theme; the texts of what could not be written.
    QStringList writeFiles();
    void FormCreate();
    void loadFiles();
    void applySettings();
    void resetToDefaults();
    void applyClockAndConsole();
    void fillColorBox();
    void connectSignals();

    std::unique_ptr<Ui::TSettings> ui;
    QMenu *m_popupMenu = nullptr;
    QAction *m_n2 = nullptr;
    bool m_languageChanged = false;
    QSpinBox *m_loanPeriod = nullptr; // days until a lent book is due back
    // .settings existed but could not be read: the first rewrite keeps a copy of it.
    bool m_settingsUnread = false;
};

extern TSettings *Settings;
