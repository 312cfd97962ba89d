#include "Settings.h"

#include "LoanPeriod.h"
#include "ui_Settings.h"

#include "AppState.h"
#include "ClickableLabel.h"
#include "EventConsole.h"
#include "FileError.h"
#include "LangStr.h"
#include "Language.h"
#include "MainWindow.h"
#include "SafeFile.h"
#include "SettingsFiles.h"
#include "SettingsList.h"
#include "StyleIcon.h"
#include "UserPrompts.h"

#include <QFile>
#include <QMenu>
#include <QSpinBox>
#include <QGroupBox>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>

TSettings *Settings = nullptr;

using namespace SettingsFiles;

namespace
{
const QColor LinkGray(128, 128, 128);
const QColor LinkBlue(0, 0, 255);
const QColor LinkRed(255, 0, 0);

QString settingsPath()
{
    return AppState::baseDirectory() + SettingsFileName;
}

QString themePath()
{
    return AppState::baseDirectory() + ThemeFileName;
}

QString value(QLatin1String key)
{
    return settingsList().value(key);
}

struct NamedColor {
    const char *name;
    QRgb rgb;
};

// The colour box shows the theme colour by name when it is one of these.
const NamedColor StandardColors[] = {
    {"Black", 0x000000},       {"Maroon", 0x800000},   {"Green", 0x008000}, {"Olive", 0x808000},
    {"Navy", 0x000080},        {"Purple", 0x800080},   {"Teal", 0x008080},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0},      {"Red", 0xFF0000},      {"Lime", 0x00FF00},  {"Yellow", 0xFFFF00},
    {"Blue", 0x0000FF},        {"Fuchsia", 0xFF00FF},  {"Aqua", 0x00FFFF},  {"White", 0xFFFFFF},
    {"Money Green", 0xC0DCC0}, {"Sky Blue", 0xA6CAF0}, {"Cream", 0xFFFBF0}, {"Medium Gray", 0xA0A0A4},
};

QIcon swatch(const QColor &color)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
    return QIcon(pixmap);
}
} // namespace

TSettings::TSettings(QWidget *parent) : DialogBase(parent, Fade::Yes), ui(std::make_unique<Ui::TSettings>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setThemedWidgets({ui->Label1, ui->Label2, ui->Panel1, ui->Panel4, ui->GroupBox1, ui->GroupBox2});

    QPalette titlePalette = ui->Label2->palette();
    titlePalette.setColor(QPalette::WindowText, LinkGray);
    ui->Label2->setPalette(titlePalette);
    showStandardPixmapWhenShown(ui->Image1, QStyle::SP_TitleBarCloseButton, 16);
    for (ClickableLabel *link : {ui->Label6, ui->Label8, ui->Label7}) {
        link->setTextColor(LinkGray);
        link->setFocusPolicy(Qt::StrongFocus); // the links are reached with Tab too
    }

    // The two groups share one place, sized for the larger, so switching between them never
    // resizes the window.
    for (QGroupBox *group : {ui->GroupBox1, ui->GroupBox2}) {
        QSizePolicy policy = group->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        group->setSizePolicy(policy);
    }
    m_loanPeriod = LoanPeriod::addSpinBox(ui->GroupBox1Layout);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    ui->GroupBox2->hide();
    ui->SettingsLanguageCb->setCurrentIndex(-1);
    ui->SettingsDefTabCmb->setCurrentIndex(-1);
    fillColorBox();

    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu1"));
    m_n2 = m_popupMenu->addAction(QStringLiteral("By default"));
    m_n2->setObjectName(QStringLiteral("N2"));

    connectSignals();

    settingsList().setLines(builtInList());
    // The main window's left-frame commands tick our check box while we are being created.
    Settings = this;
    FormCreate();
}

TSettings::~TSettings()
{
    if (Settings == this)
        Settings = nullptr;
}

void TSettings::connectSignals()
{
    connect(ui->Button1, &QPushButton::clicked, this, &TSettings::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TSettings::Button2Click);
    connect(ui->Image1, &ClickableLabel::clicked, this, &TSettings::Image1Click);
    connect(ui->Label6, &ClickableLabel::clicked, this, &TSettings::Label6Click);
    connect(ui->Label8, &ClickableLabel::clicked, this, &TSettings::Label8Click);
    connect(ui->Label7, &ClickableLabel::clicked, this, &TSettings::Label7Click);
    connect(ui->Label1, &ClickableLabel::clicked, this, &TSettings::Label1Click);
    connect(ui->sbTransp, &QScrollBar::valueChanged, this, &TSettings::sbTranspChange);
    connect(ui->SettingsLanguageCb, &QComboBox::currentIndexChanged, this, &TSettings::SettingsLanguageCbChange);
    connect(m_n2, &QAction::triggered, this, &TSettings::N2Click);

    ui->GroupBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->GroupBox1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_popupMenu->popup(ui->GroupBox1->mapToGlobal(pos)); });

    const auto hover = [this](ClickableLabel *link, const QColor &over) {
        connect(link, &ClickableLabel::mouseEntered, this, [link, over] { link->setTextColor(over); });
        connect(link, &ClickableLabel::mouseLeft, this, [link] { link->setTextColor(LinkGray); });
    };
    hover(ui->Label8, LinkBlue);
    hover(ui->Label7, LinkBlue);
    hover(ui->Label6, LinkRed);
}

void TSettings::fillColorBox()
{
    // The first entry stands for a colour that has no name.
    ui->ColorBox1->addItem(swatch(Qt::white), QStringLiteral("Custom..."), QColor(Qt::white));
    for (const NamedColor &c : StandardColors)
        ui->ColorBox1->addItem(swatch(QColor(c.rgb)), QString::fromLatin1(c.name), QColor(c.rgb));
}

QColor TSettings::colorBoxColor() const
{
    const QColor color = ui->ColorBox1->currentData().value<QColor>();
    return color.isValid() ? color : defaultThemeColor();
}

void TSettings::setColorBoxColor(const QColor &color)
{
    const QRgb rgb = color.rgb();
    for (int i = 1; i < ui->ColorBox1->count(); ++i) {
        if (ui->ColorBox1->itemData(i).value<QColor>().rgb() == rgb) {
            ui->ColorBox1->setCurrentIndex(i);
            return;
        }
    }
    ui->ColorBox1->setItemData(0, QColor(rgb));
    ui->ColorBox1->setItemIcon(0, swatch(QColor(rgb)));
    ui->ColorBox1->setCurrentIndex(0);
}

void TSettings::FormCreate()
{
    m_languageChanged = false;
    // A file that cannot be read or written stops the loading here; the store keeps what it had.
    runGuarded([this] {
        loadFiles();
        applySettings();
    });
}

void TSettings::resetToDefaults()
{
    settingsList().setLines(DefList());
    LogEvent(LangStr(QStringLiteral("csettingscreate")) + QStringLiteral("..."));
    SettingsList::writeFile(settingsPath(), settingsList().lines());
}

void TSettings::loadFiles()
{
    if (!QFile::exists(settingsPath()))
        resetToDefaults();
    // A theme that cannot be written costs only its colour: the settings, the language among
    // them, are still read. The failure is told once the language is known.
    QString themeFailure;
    const auto writeDefaultTheme = [&themeFailure] {
        try {
            writeTheme(themePath(), defaultThemeColor());
        } catch (const FileError &e) {
            themeFailure = e.message();
        }
    };
    if (!QFile::exists(themePath())) {
        AppState::setThemeColor(defaultThemeColor());
        writeDefaultTheme();
    }
    QColor theme;
    try {
        theme = readTheme(themePath());
    } catch (const FileError &) {
        LogEvent(QStringLiteral("Error on theme loading!"));
        LogEvent(QStringLiteral("Reset theme to default"));
        theme = defaultThemeColor();
        AppState::setThemeColor(theme);
        writeDefaultTheme();
    }
    try {
        settingsList().setLines(SettingsList::readFile(settingsPath()));
    } catch (const FileError &) {
        m_settingsUnread = true;
        throw;
    }
    LogEvent(LangStr(QStringLiteral("csettingsloaded")));
    if (!themeFailure.isEmpty())
        UserPrompts::showError(themeFailure + QLatin1Char('\r') + LangStr(QStringLiteral("cfilenw")));
    AppState::setThemeColor(theme);
    setColorBoxColor(theme);
}

void TSettings::applySettings()
{
    if (const auto on = flagValue(value(Key::Showtime))) {
        ui->SettingsShowtimeChk->setChecked(*on);
        if (MainF)
            MainF->setClockVisible(*on);
    }
    if (const auto on = flagValue(value(Key::Showconsole))) {
        ui->SettingsShowconsoleChk->setChecked(*on);
        if (MainF)
            MainF->setConsoleShown(*on);
    }
    if (const auto on = flagValue(value(Key::Autolog)))
        ui->SettingsAutologChk->setChecked(*on);

    const int language = languageIndex(value(Key::Language));
    if (language >= 0)
        ui->SettingsLanguageCb->setCurrentIndex(language);
    m_languageChanged = false;

    if (const auto position = transparencyValue(value(Key::Transparency))) {
        {
            const QSignalBlocker blocker(ui->sbTransp);
            ui->sbTransp->setValue(*position);
        }
        // Loading counts as a move of the scroll bar, even to where it already stood.
        sbTranspChange(*position);
    } else {
        // Without a usable opacity the file is not trusted: the rest reads the defaults.
        resetToDefaults();
    }

    if (const auto on = flagValue(value(Key::Hideleftframe)))
        ui->SettingsHideLeftFrame->setChecked(*on);
    if (MainF) {
        if (ui->SettingsHideLeftFrame->isChecked())
            MainF->LeftHideImgClick();
        else
            MainF->LeftUnhideImgClick();
    }

    const struct {
        QLatin1String key;
        QCheckBox *box;
    } tabs[] = {
        {Key::Showbookstab, ui->SettingsDisplayBooksTab},
        {Key::Showgivenbookstab, ui->SettingsDisplayGivenBooksTab},
        {Key::Showinfotab, ui->SettingsDisplayInfoTab},
        {Key::Showsqltab, ui->SettingsDisplaySqlTab},
    };
    for (int page = 0; page < 4; ++page) {
        if (const auto on = flagValue(value(tabs[page].key))) {
            tabs[page].box->setChecked(*on);
            if (MainF)
                MainF->setTabHeaderVisible(page, *on);
        }
    }

    if (const auto on = flagValue(value(Key::Tabsontop))) {
        ui->SettingsTabsOnTop->setChecked(*on);
        if (MainF)
            MainF->setTabsOnTop(*on);
    }

    const int page = pageIndex(value(Key::Deftab));
    if (page >= 0) {
        ui->SettingsDefTabCmb->setCurrentIndex(page);
        if (MainF)
            MainF->setActivePage(page);
    }
}

void TSettings::applyClockAndConsole()
{
    if (!MainF)
        return;
    if (const auto on = flagValue(value(Key::Showtime)))
        MainF->setClockVisible(*on);
    if (const auto on = flagValue(value(Key::Showconsole)))
        MainF->setConsoleShown(*on);
}

void TSettings::Button1Click()
{
    runGuarded([this] {
        SettingsList &list = settingsList();
        list.setValue(Key::Showtime, flagText(ui->SettingsShowtimeChk->isChecked()));
        list.setValue(Key::Showconsole, flagText(ui->SettingsShowconsoleChk->isChecked()));
        list.setValue(Key::Autolog, flagText(ui->SettingsAutologChk->isChecked()));
        const QString language = languageCode(ui->SettingsLanguageCb->currentIndex());
        if (!language.isEmpty())
            list.setValue(Key::Language, language);

        const int position = ui->sbTransp->value();
        if (MainF)
            MainF->setOpacityValue(position);
        list.setValue(Key::Transparency, QString::number(position));

        const bool hideLeft = ui->SettingsHideLeftFrame->isChecked();
        if (MainF) {
            if (hideLeft)
                MainF->LeftHideImgClick();
            else
                MainF->LeftUnhideImgClick();
        }
        list.setValue(Key::Hideleftframe, flagText(hideLeft));

        const struct {
            QLatin1String key;
            bool on;
        } tabs[] = {
            {Key::Showbookstab, ui->SettingsDisplayBooksTab->isChecked()},
            {Key::Showgivenbookstab, ui->SettingsDisplayGivenBooksTab->isChecked()},
            {Key::Showinfotab, ui->SettingsDisplayInfoTab->isChecked()},
            {Key::Showsqltab, ui->SettingsDisplaySqlTab->isChecked()},
        };
        for (int page = 0; page < 4; ++page) {
            if (MainF)
                MainF->setTabHeaderVisible(page, tabs[page].on);
            list.setValue(tabs[page].key, flagText(tabs[page].on));
        }

        const bool onTop = ui->SettingsTabsOnTop->isChecked();
        if (MainF)
            MainF->setTabsOnTop(onTop);
        list.setValue(Key::Tabsontop, flagText(onTop));

        const int page = ui->SettingsDefTabCmb->currentIndex();
        if (page >= 0)
            list.setValue(Key::Deftab, QString::number(page));
        LoanPeriod::setDays(m_loanPeriod->value());

        AppState::setThemeColor(colorBoxColor());

        // What could not be written is told, and the window stays open; the choices are in
        // force all the same, the language among them (the store already holds it).
        const QStringList failures = writeFiles();

        applyClockAndConsole();
        if (m_languageChanged) {
            LogEvent(QStringLiteral("Reset language variable to [") + list.value(Key::Language) + QStringLiteral("]") +
                     QStringLiteral(" value, updating..."));
            ApplyLanguage();
        }
        if (!failures.isEmpty()) {
            UserPrompts::showError(failures.join(QLatin1Char('\r')) + QLatin1Char('\r') +
                                   LangStr(QStringLiteral("cfilenw")));
            return;
        }
        close();
    });
}

QStringList TSettings::writeFiles()
{
    QStringList failures;
    if (m_settingsUnread && QFile::exists(settingsPath())) {
        const QString copy = SafeFile::keepCopy(settingsPath());
        if (copy.isEmpty()) {
            // Never overwritten without its copy.
            failures << QStringLiteral("Cannot keep a copy of \"%1\"; it is left as it was.").arg(settingsPath());
            return failures;
        }
        LogEvent(LangStr(QStringLiteral("cfilebak")).arg(settingsPath(), copy));
        m_settingsUnread = false;
    }
    try {
        SettingsList::writeFile(settingsPath(), settingsList().lines());
    } catch (const FileError &e) {
        failures << e.message();
    }
    try {
        writeTheme(themePath(), AppState::themeColor());
    } catch (const FileError &e) {
        failures << e.message();
    }
    return failures;
}

void TSettings::Button2Click()
{
    close();
}

void TSettings::Image1Click()
{
    close();
}

void TSettings::Label6Click()
{
    ui->SettingsShowtimeChk->setChecked(true);
    ui->SettingsShowconsoleChk->setChecked(true);
    ui->SettingsAutologChk->setChecked(true);
    ui->sbTransp->setValue(MaxTransparency);
    for (QCheckBox *box : {ui->SettingsHideLeftFrame, ui->SettingsTabsOnTop, ui->SettingsDisplayBooksTab,
                           ui->SettingsDisplayGivenBooksTab, ui->SettingsDisplayInfoTab, ui->SettingsDisplaySqlTab})
        box->setChecked(false);
    m_languageChanged = true;
    ui->SettingsDefTabCmb->setCurrentIndex(0);
}

void TSettings::N2Click()
{
    ui->SettingsShowtimeChk->setChecked(true);
    ui->SettingsShowconsoleChk->setChecked(true);
    ui->SettingsAutologChk->setChecked(true);
    ui->SettingsLanguageCb->setCurrentIndex(1);
    m_languageChanged = true;
}

void TSettings::Label8Click()
{
    ui->GroupBox1->show();
    ui->GroupBox2->hide();
}

void TSettings::Label7Click()
{
    ui->GroupBox1->hide();
    ui->GroupBox2->show();
}

void TSettings::Label1Click()
{
    LogEvent(ui->Label1->text());
}

void TSettings::sbTranspChange(int position)
{
    if (!MainF)
        return;
    MainF->setOpacityValue(position);
    MainF->showOpacityLabel(position);
}

void TSettings::SettingsLanguageCbChange()
{
    m_languageChanged = true;
}

void TSettings::showEvent(QShowEvent *event)
{
    m_languageChanged = false;
    LoanPeriod::showIn(m_loanPeriod);
    if (MainF) {
        QRect frame = frameGeometry();
        frame.moveCenter(MainF->frameGeometry().center());
        move(frame.topLeft());
    }
    DialogBase::showEvent(event);
}
