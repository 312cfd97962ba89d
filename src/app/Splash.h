#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class TSplashF;
}

// The start-up window: progress and status, and on the first run the language chooser.
class TSplashF : public QWidget
{
    Q_OBJECT
public:
    explicit TSplashF(QWidget *parent = nullptr);
    ~TSplashF() override;

    Ui::TSplashF *form() const { return ui.get(); }

    void showStatus(const QString &text);
    void setProgress(int value);
    bool closeAllowed() const;
    // The user pressed "OK" on the language chooser (not a quit that let the wait go).
    bool languageConfirmed() const { return m_confirmed; }
    // The first-run look: progress and status hidden, language list, "OK" and thanks shown.
    void showLanguageChooser();

public slots:
    void LanguageCbChange(int index);
    void DoneLbClick();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void chooseLanguage();

    std::unique_ptr<Ui::TSplashF> ui;
    bool m_confirmed = false;
};

extern TSplashF *SplashF;
