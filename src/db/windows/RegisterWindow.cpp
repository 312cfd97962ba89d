#include "RegisterWindow.h"

#include "ui_RegisterWindow.h"

#include "AppState.h"
#include "ConnectionSettings.h"
#include "DatabaseFileDialog.h"
#include "FbDatabase.h"
#include "StyleIcon.h"
#include "UserPrompts.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>

TRegisterF *RegisterF = nullptr;

namespace
{
const char *const kMissingPathMessage =
    "Please type valid database file path\rПожалуйста, введите корректный путь к базе данных";
} // namespace

TRegisterF::TRegisterF(QWidget *parent) : DialogBase(parent, Fade::Yes), ui(std::make_unique<Ui::TRegisterF>())
{
    RegisterF = this;
    ui->setupUi(this);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setThemedWidgets({ui->Label9, ui->Panel1});
    showStandardPixmapWhenShown(ui->Image1, QStyle::SP_TitleBarCloseButton, 16);

    connect(ui->NewlibraryRb, &QRadioButton::clicked, this, &TRegisterF::NewlibraryRbClick);
    connect(ui->LibraryV2Rb, &QRadioButton::clicked, this, &TRegisterF::LibraryV2RbClick);
    connect(ui->Button3, &QPushButton::clicked, this, &TRegisterF::Button3Click);
    connect(ui->Register, &QPushButton::clicked, this, [this] { runGuarded([this] { RegisterClick(); }); });
    connect(ui->Image1, &ClickableLabel::clicked, this, &TRegisterF::Image1Click);
    connect(ui->DbPathEd, &QLineEdit::textChanged, ui->DbPathEd, &QWidget::setToolTip);
}

TRegisterF::~TRegisterF()
{
    if (RegisterF == this)
        RegisterF = nullptr;
}

QString TRegisterF::defaultLibraryPath()
{
    return AppState::baseDirectory() + QString::fromLatin1(kDefaultLibrary);
}

void TRegisterF::showEvent(QShowEvent *event)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    DialogBase::showEvent(event);
    FormShow();
}

void TRegisterF::FormShow()
{
    const bool haveDefault = QFileInfo(defaultLibraryPath()).isFile();
    setDefaultChoiceEnabled(haveDefault);
    if (haveDefault) {
        ui->DbPathEd->setText(defaultLibraryPath());
        ui->NewlibraryRb->setChecked(true);
        NewlibraryRbClick();
    } else {
        ui->LibraryV2Rb->setChecked(true);
        LibraryV2RbClick();
    }
}

void TRegisterF::setDefaultChoiceEnabled(bool enabled)
{
    for (QWidget *w : {static_cast<QWidget *>(ui->NewlibraryRb), static_cast<QWidget *>(ui->Label2),
                       static_cast<QWidget *>(ui->Label3), static_cast<QWidget *>(ui->Label10),
                       static_cast<QWidget *>(ui->Label11), static_cast<QWidget *>(ui->Label12)})
        w->setEnabled(enabled);
}

void TRegisterF::NewlibraryRbClick()
{
    ui->DbPathEd->setEnabled(false);
    ui->DbPathEd->setText(defaultLibraryPath());
    ui->Register->setFocus();
}

void TRegisterF::LibraryV2RbClick()
{
    ui->DbPathEd->setEnabled(true);
    ui->DbPathEd->clear();
    ui->DbPathEd->setFocus();
}

void TRegisterF::Button3Click()
{
    ui->DbPathEd->setText(DatabaseFileDialog::choose(this));
}

void TRegisterF::RegisterClick()
{
    using Rule = TConnectionSettings::SetRule;
    if (!ConnectionSettings)
        return;
    ConnectionSettings->setParamValue(ProfileKey::lcCtype, QString::fromLatin1(kCharset), Rule::OrRemove);
    if (ui->NewlibraryRb->isChecked()) {
        registerLibrary(defaultLibraryPath());
        return;
    }
    if (!ui->LibraryV2Rb->isChecked())
        return;
    const QString path = ui->DbPathEd->text();
    // A library on a server is no local file; the server answers for it when connecting.
    if (QFileInfo(path).isFile() || FbDatabase::isServerPath(path)) {
        registerLibrary(path);
    } else {
        UserPrompts::message(UserPrompts::Kind::Information, QString::fromUtf8(kMissingPathMessage));
        ui->DbPathEd->setFocus();
    }
}

void TRegisterF::registerLibrary(const QString &path)
{
    ConnectionSettings->setGeneralValue(ProfileKey::dbFilePath, path, TConnectionSettings::SetRule::OrRemove);
    MainWindowApi *api = mainApi();
    api->ConnectDatabase();
    api->RefreshBooks();
    ConnectionSettings->DbFilePath()->clear();
    close();
}

void TRegisterF::Image1Click()
{
    close();
}
