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
};

extern TSplashF *SplashF;
