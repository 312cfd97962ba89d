#pragma once

#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <memory>

namespace Ui {
class HelpWindow;
}

// The user guide inside the program: its pages in the interface language, a list of them,
// links between them, search, back and forward. Links to other sites go to the browser.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);
    ~HelpWindow() override;

    // Shows the guide at the page (and place) for the window, by the window's object name.
    void showFor(const QString &windowName);
    // The page of the guide for a window: a file and an anchor.
    static QString topicOf(const QString &windowName);
    // The folder of the guide in a language ("en", "ru", "ua"); English where a page is missing.
    static QString languageFolder(const QString &language);
    QUrl currentPage() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void applyTexts();
    void fillPages();
    void openPage(const QString &file, const QString &anchor = QString());
    void search();
    void pageChosen(int row);
    void linkClicked(const QUrl &url);

    std::unique_ptr<Ui::HelpWindow> ui;
    bool m_placed = false;
    QString m_folder;
    QStringList m_files;
};

extern HelpWindow *HelpF;
