#include "Splash.h"

#include "ui_Splash.h"

#include "Language.h"
#include "Platform.h"
#include "SettingsList.h"
#include "UserPrompts.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

TSplashF *SplashF = nullptr;

namespace {

QPixmap backgroundPicture(const QSize &size)
{
    QPixmap picture(size);
    QPainter p(&picture);
    QLinearGradient g(0, 0, size.width(), size.height());
    g.setColorAt(0, QColor(250, 250, 252));
    g.setColorAt(1, QColor(214, 224, 238));
    p.fillRect(picture.rect(), g);
    p.setPen(QColor(60, 60, 60));
    QFont title(QStringLiteral("DejaVu Sans"), 30, QFont::Bold);
    p.setFont(title);
    p.setPen(QColor(200, 30, 30));
    p.drawText(QRect(0, 62, size.width(), 60), Qt::AlignCenter, QStringLiteral("Bibliora"));
    p.setPen(QColor(150, 160, 175));
    for (int i = 0; i < 7; ++i) // a row of book spines
        p.fillRect(QRect(36 + i * 12, 182 - (i % 3) * 6, 9, 46 + (i % 3) * 6), QColor(120 + i * 15, 90 + i * 10, 80));
    return picture;
}

QPixmap logoPicture()
{
    QPixmap logo(24, 24);
    logo.fill(Qt::transparent);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(65, 205, 82));
    p.setPen(Qt::NoPen);
    p.drawEllipse(2, 2, 20, 20);
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 9, QFont::Bold));
    p.drawText(logo.rect(), Qt::AlignCenter, QStringLiteral("Qt"));
    return logo;
}

} // namespace

TSplashF::TSplashF(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , ui(std::make_unique<Ui::TSplashF>())
{
    SplashF = this;
    ui->setupUi(this);
    setFixedSize(390, 294);
    ui->Image1->setPixmap(backgroundPicture(size()));
    ui->Image2->setPixmap(logoPicture());
    ui->Label6->setText(QStringLiteral("Platform: ") + QString::fromUtf16(BIBLIORA_PLATFORM_NAME));
    ui->DoneLb->lower();
    ui->Image1->lower();
    connect(ui->LanguageCb, &QComboBox::activated, this, &TSplashF::LanguageCbChange);
    connect(ui->DoneLb, &ClickableLabel::clicked, this, &TSplashF::DoneLbClick);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TSplashF::~TSplashF()
{
    if (SplashF == this)
        SplashF = nullptr;
}

void TSplashF::showStatus(const QString &text)
{
    ui->NowLoadingLb->setText(text);
    repaint();
}

void TSplashF::setProgress(int value)
{
    ui->LoadProgress->setValue(value);
    repaint();
}

bool TSplashF::closeAllowed() const
{
    return ui->CloseAllowed->isChecked();
}

void TSplashF::closeEvent(QCloseEvent *event)
{
    if (closeAllowed())
        event->accept();
    else
        event->ignore();
}

void TSplashF::showLanguageChooser()
{
    ui->LoadProgress->hide();
    repaint();
    ui->NowLoadingLb->hide();
    repaint();
    ui->DoneLb->raise();
    ui->LanguageSelection->show();
    ui->LanguageCb->show();
    repaint();
}

void TSplashF::chooseLanguage()
{
    static const char *const codes[] = {"en", "ru", "ua"};
    const int index = ui->LanguageCb->currentIndex();
    if (index >= 0 && index < 3)
        settingsList().setValue(QStringLiteral("Language"), QString::fromLatin1(codes[index]));
    // Saved where the program is now, not in the base directory.
    SettingsList::writeFile(QDir::current().filePath(QStringLiteral(".settings")), settingsList().lines());
    ApplyLanguage();
}

void TSplashF::LanguageCbChange(int)
{
    runGuarded([this] { chooseLanguage(); });
}

void TSplashF::DoneLbClick()
{
    runGuarded([this] { chooseLanguage(); });
    m_confirmed = true;
    ui->CloseAllowed->setChecked(true);
}
