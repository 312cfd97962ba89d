#pragma once

#include <QWidget>

#include <memory>

namespace Ui
{
class TViewF;
}

// View book window: the current book, read-only, following the book list.
class TViewF : public QWidget
{
    Q_OBJECT
public:
    explicit TViewF(QWidget *parent = nullptr);
    ~TViewF() override;

    // The title line: " ::: ", the current title and " ::: ".
    QString titleLine() const;

public slots:
    void FormShow();
    void FormHide();
    void getTitleChange();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void bindFields();
    void colourViewLink(const QColor &color);
    void centreOnMainWindow();
    // The shown book's past loans, read again when the book changes while the window is shown.
    void showLoanHistory();

    std::unique_ptr<Ui::TViewF> ui;
    class FbQuery *m_historyQuery = nullptr;
    class DataSource *m_historySource = nullptr;
    bool m_placed = false; // centred once; later shows keep where the user left it
};

extern TViewF *ViewF;
