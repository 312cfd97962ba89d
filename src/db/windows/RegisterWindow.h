#pragma once

#include "DialogBase.h"

#include <memory>

namespace Ui
{
class TRegisterF;
}

// Tells the program which library to use: the default LIBRARY.GDB of the base directory, or an
// existing library of an earlier version. Registering sets the profile's character set and
// path, connects and shows the books.
class TRegisterF : public DialogBase
{
    Q_OBJECT
public:
    static constexpr const char *kDefaultLibrary = "LIBRARY.GDB";
    static constexpr const char *kCharset = "WIN1251";

    explicit TRegisterF(QWidget *parent = nullptr);
    ~TRegisterF() override;

    // The default library's full name: base directory + LIBRARY.GDB.
    static QString defaultLibraryPath();

public slots:
    void FormShow();
    void NewlibraryRbClick();
    void LibraryV2RbClick();
    void Button3Click(); // "..."
    void RegisterClick();
    void Image1Click(); // close picture

protected:
    void showEvent(QShowEvent *event) override;

private:
    void setDefaultChoiceEnabled(bool enabled);
    // Takes the path into the profile, connects, shows the books and closes.
    void registerLibrary(const QString &path);

    std::unique_ptr<Ui::TRegisterF> ui;
};

extern TRegisterF *RegisterF;
