#include "NewLibraryWindow.h"

#include "ui_NewLibraryWindow.h"

#include "EventConsole.h"
#include "FbError.h"
#include "LangStr.h"
#include "LibrarySchema.h"
#include "NewFilePath.h"
#include "UserPrompts.h"

#include <QDir>
#include <QFileInfo>

NewLibraryWindow::NewLibraryWindow(const UseLibrary &useLibrary, QWidget *parent)
    : DialogBase(parent), ui(std::make_unique<Ui::NewLibraryWindow>()), m_useLibrary(useLibrary)
{
    ui->setupUi(this);
    setThemedWidgets({ui->TitleLb, ui->Panel1});
    connect(ui->BrowseBtn, &QPushButton::clicked, this, &NewLibraryWindow::BrowseBtnClick);
    connect(ui->CreateBtn, &QPushButton::clicked, this, [this] { runGuarded([this] { CreateBtnClick(); }); });
    connect(ui->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

NewLibraryWindow::~NewLibraryWindow() = default;

void NewLibraryWindow::showEvent(QShowEvent *event)
{
    applyTexts();
    DialogBase::showEvent(event);
    ui->PathEd->setFocus();
}

void NewLibraryWindow::applyTexts()
{
    const std::pair<QWidget *, const char *> texts[] = {
        {ui->TitleLb, "lnewlib"},        {ui->PathLb, "lnewlibfile"},  {ui->CharsetLb, "lnewlibcs"},
        {ui->UnicodeRb, "lnewlibuni"},   {ui->Win1251Rb, "lnewlib1251"}, {ui->CreateBtn, "lnewlibmake"},
        {ui->CancelBtn, "lcancel"},
    };
    for (const auto &[widget, key] : texts) {
        const QString text = LangStr(QLatin1String(key));
        if (auto *label = qobject_cast<QLabel *>(widget))
            label->setText(text);
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            button->setText(text);
    }
}

void NewLibraryWindow::BrowseBtnClick()
{
    const QString path = UserPrompts::saveFileName(this, QLatin1String(NewFilePath::kLibraryFilter), LangStr(QStringLiteral("lnewlibfile")),
                                                   QStringLiteral("library.gdb"));
    if (!path.isEmpty())
        ui->PathEd->setText(path);
}

void NewLibraryWindow::CreateBtnClick()
{
    QString path = ui->PathEd->text().trimmed();
    if (path.isEmpty()) {
        UserPrompts::message(UserPrompts::Kind::Warning, LangStr(QStringLiteral("cnewlibnopath")));
        return;
    }
    path = NewFilePath::complete(path, "gdb");
    // A new file only: an existing library (or any file) is never written over.
    if (NewFilePath::taken(path)) {
        UserPrompts::message(UserPrompts::Kind::Warning, LangStr(QStringLiteral("cnewlibexists")));
        return;
    }
    const bool unicode = ui->UnicodeRb->isChecked();
    try {
        QDir().mkpath(QFileInfo(path).absolutePath());
        LibrarySchema::create(path, true, unicode);
    } catch (const FbError &e) {
        UserPrompts::message(UserPrompts::Kind::Warning, LangStr(QStringLiteral("cnewlibfail")) + QLatin1Char(' ') + e.message());
        return;
    }
    LogEvent(LangStr(QStringLiteral("cnewlibdone")) + QLatin1Char(' ') + path);
    accept();
    const auto answer = UserPrompts::message(UserPrompts::Kind::Question, LangStr(QStringLiteral("cnewlibask")),
                                             QString(), QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes && m_useLibrary)
        m_useLibrary(path);
}
