#pragma once

#include <QDialog>
#include <memory>

class QPlainTextEdit;

namespace Ui
{
class TLogView;
}

// Shows the saved log file of the base directory; never writes it.
class TLogView : public QDialog
{
    Q_OBJECT
public:
    explicit TLogView(QWidget *parent = nullptr);
    ~TLogView() override;

    QPlainTextEdit *Memo1() const;

public slots:
    // Shows the window and loads the log file into it, when there is one.
    void showLog();

private:
    void loadLogFile();

    std::unique_ptr<Ui::TLogView> ui;
};

extern TLogView *LogView;
