#pragma once

#include "DialogBase.h"
#include "SourceList.h"

#include <memory>

namespace Ui
{
class IsbnSourcesWindow;
}

// The online catalogues a lookup asks: on/off, order, address of each, the Google Books key and
// the time-out. Kept in .isbnsources beside the settings.
class IsbnSourcesWindow : public DialogBase
{
    Q_OBJECT
public:
    explicit IsbnSourcesWindow(QWidget *parent = nullptr);
    ~IsbnSourcesWindow() override;
    void load(const SourceList &list);
    SourceList edited() const;
    void applyLanguage();

public slots:
    void okClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void move(int by);
    void addRow(const SourceSetting &source);
    // A new row whose address is being typed.
    void addEditedRow(const SourceSetting &source);

    std::unique_ptr<Ui::IsbnSourcesWindow> ui;
};
