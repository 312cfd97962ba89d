#include "AboutWindow.h"

#include "ui_AboutWindow.h"

#include "ClientLibrary.h"
#include "ProgramPicture.h"
#include "WebLinks.h"

#include <QGuiApplication>
#include <QScreen>

TAboutBox *AboutBox = nullptr;

namespace {

const QColor kRed(255, 0, 0);
const QColor kGray(128, 128, 128);
const QColor kNavy(0, 0, 128);

std::function<void()> &languageRoutine()
{
    static std::function<void()> routine;
    return routine;
}

void setColor(QLabel *label, const QColor &color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

// A link in its resting colour that turns red while the mouse is over it.
void makeLink(ClickableLabel *link, const QColor &rest)
{
    link->setTextColor(rest);
    QObject::connect(link, &ClickableLabel::mouseEntered, link, [link] { link->setTextColor(kRed); });
    QObject::connect(link, &ClickableLabel::mouseLeft, link, [link, rest] { link->setTextColor(rest); });
}

} // namespace

TAboutBox::TAboutBox(QWidget *parent)
    : DialogBase(parent, Fade::Yes)
    , ui(std::make_unique<Ui::TAboutBox>())
{
    AboutBox = this;
    ui->setupUi(this);
    setModal(true);
    // The window takes the size its texts need in the language shown (never squeezed to fit
    // two thirds of the screen, as a plain adjustSize would).
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setThemedWidgets({ui->Label16, ui->Panel1});
    for (QLabel *label : findChildren<QLabel *>())
        label->setTextFormat(Qt::PlainText);

    ui->ProgramIcon->setPixmap(ProgramPicture::aboutPicture());
    const QPixmap sign = ProgramPicture::windowIcon().pixmap(16, 16);
    ui->Image1->setPixmap(sign);
    ui->Label9->setPixmap(sign);
    // The Qt logo that Qt's own about box shows.
    ui->Image2->setPixmap(QPixmap(QStringLiteral(":/qt-project.org/qmessagebox/images/qtlogo-64.png"))
                              .scaled(24, 24, Qt::KeepAspectRatio, Qt::SmoothTransformation));

    for (QLabel *red : {ui->ProductName, ui->ThirdPartyName1, ui->Label30})
        setColor(red, kRed);
    for (QLabel *gray : {ui->Label7, ui->ThirdPartyName2, ui->Label31, ui->Label3})
        setColor(gray, kGray);
    makeLink(ui->Label5, kNavy);
    makeLink(ui->Label1, kGray);
    makeLink(ui->Label2, kGray);
    makeLink(ui->Label21, Qt::black);
    makeLink(ui->Label23, Qt::black);

    connect(ui->ProgramIcon, &ClickableLabel::doubleClicked, this, &TAboutBox::ProgramIconDblClick);
    connect(ui->Label5, &ClickableLabel::clicked, this, &TAboutBox::Label5Click);
    connect(ui->Label1, &ClickableLabel::clicked, this, &TAboutBox::Label1Click);
    connect(ui->Label2, &ClickableLabel::clicked, this, &TAboutBox::Label2Click);
    connect(ui->Label21, &ClickableLabel::clicked, this, &TAboutBox::Label21Click);
    connect(ui->Label23, &ClickableLabel::clicked, this, &TAboutBox::Label23Click);
    connect(ui->OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

TAboutBox::~TAboutBox()
{
    if (AboutBox == this)
        AboutBox = nullptr;
}

void TAboutBox::setLanguageRoutine(std::function<void()> routine)
{
    languageRoutine() = std::move(routine);
}

void TAboutBox::showEvent(QShowEvent *event)
{
    // The theme colour and the start of the fade-in.
    DialogBase::showEvent(event);
    FormShow();
}

void TAboutBox::FormShow()
{
    if (languageRoutine())
        languageRoutine()();
    // The engine line names the client library actually loaded.
    if (ui->Label1->text().contains(QLatin1String("%1")))
        ui->Label1->setText(ui->Label1->text().arg(ClientLibrary::description()));
    // The title strip and the panel keep the theme colour; the rest of the window is white.
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    layout()->activate();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TAboutBox::ProgramIconDblClick()
{
    WebLinks::openWebPage(WebLinks::Page::About);
}

void TAboutBox::Label5Click()
{
    WebLinks::openWebPage(WebLinks::Page::Site);
}

void TAboutBox::Label1Click()
{
    WebLinks::openWebPage(WebLinks::Page::Engine);
}

void TAboutBox::Label2Click()
{
    WebLinks::openWebPage(WebLinks::Page::GridLibrary);
}

void TAboutBox::Label21Click()
{
    WebLinks::openWebPage(WebLinks::Page::Debian);
}

void TAboutBox::Label23Click()
{
    WebLinks::openWebPage(WebLinks::Page::Unicode);
}
