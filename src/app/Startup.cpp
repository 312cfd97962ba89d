#include "Startup.h"

#include "AboutWindow.h"
#include "AddBookWindow.h"
#include "AddConstantWindow.h"
#include "AppWindows.h"
#include "ChangeBookWindow.h"
#include "ConnectionSettings.h"
#include "ConstantsWindow.h"
#include "EngineCheck.h"
#include "EventConsole.h"
#include "FbDatabase.h"
#include "FieldsWindow.h"
#include "LangStr.h"
#include "Language.h"
#include "LendWindow.h"
#include "LoanChangeWindow.h"
#include "LogView.h"
#include "LookupWindow.h"
#include "MainWindow.h"
#include "MultiDeleteWindow.h"
#include "ProgramPicture.h"
#include "RegisterWindow.h"
#include "ReturnWindow.h"
#include "SavedQueriesWindow.h"
#include "Settings.h"
#include "Splash.h"
#include "UserPrompts.h"
#include "ViewBookWindow.h"
#include "ui_Splash.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QScreen>
#include <functional>

namespace {

// The empty non-visual container of the language module.
QObject *DataModule9 = nullptr;

struct WindowStep {
    const char *status;
    std::function<void()> create;
    const char *consoleLine;
    int progress;
};

// A failure inside a window's own creation is shown, and start-up goes on.
void createGuarded(const std::function<void()> &create)
{
    runGuarded(create);
}

// Beside the splash, so that the language list and its "OK" stay in sight: to its right, or
// under it on a screen too narrow for both side by side. The pair moves towards the screen's
// top left as far as needed to keep the window on the screen.
void placeBesideSplash(QWidget *splash, QWidget *window)
{
    constexpr int kGap = 12;
    const QRect area = splash->screen()->availableGeometry();
    const QRect shown = splash->frameGeometry();
    const QSize size = window->frameGeometry().size();
    const bool sideBySide = shown.width() + kGap + size.width() <= area.width();
    const QPoint offset = sideBySide ? QPoint(shown.width() + kGap, 0) : QPoint(0, shown.height() + kGap);
    const QPoint overflow = shown.topLeft() + offset + QPoint(size.width(), size.height()) - area.bottomRight();
    const QPoint shift(qBound(0, overflow.x(), shown.left() - area.left()), qBound(0, overflow.y(), shown.top() - area.top()));
    splash->move(splash->pos() - shift);
    window->move(splash->frameGeometry().topLeft() + offset);
}

// A language picked in the splash makes the registration window wider, whenever its layout
// gets to it: on every resize while the splash is shown, the pair is placed anew and stays on
// the screen.
class KeptBesideSplash : public QObject
{
public:
    KeptBesideSplash(QWidget *splash, QWidget *window) : QObject(window), m_splash(splash)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize && m_splash && m_splash->isVisible())
            placeBesideSplash(m_splash, static_cast<QWidget *>(watched));
        return false;
    }

private:
    QPointer<QWidget> m_splash;
};

bool libraryFileInCurrentDirectory()
{
    const QStringList entries = QDir::current().entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : entries)
        if (name.compare(QLatin1String("Library.gdb"), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

void Startup::run()
{
    QApplication::setWindowIcon(ProgramPicture::windowIcon());
    auto *splash = new TSplashF;
    splash->form()->CloseAllowed->setChecked(false);
    const bool firstRun = !QFile::exists(QStringLiteral(".settings"));
    splash->form()->NowLoadingLb->clear();
    splash->show();
    splash->repaint();
    splash->showStatus(QStringLiteral("initialising ..."));
    QApplication::setApplicationName(QStringLiteral("Bibliora v2.3"));

    splash->showStatus(QStringLiteral("main window creating ..."));
    splash->setProgress(3);
    new TMainF;
    QString base = QDir::currentPath();
    AppState::setBaseDirectory(base + QLatin1Char('/'));
    LogEvent(QStringLiteral("[Main] module: loaded"));
    splash->setProgress(20);

    QWidget *main = MainF;
    const WindowStep steps[] = {
        {"constants window creating ...", [main] { new TConstantsF(main); }, "[Constants] module: loaded", 25},
        {"lookup window creating ...", [main] { new TLookupF(main); }, "[Lookup] module: loaded", 27},
        {"addconst window creating ...", [main] { new TAddConstF(main); }, "[Addconst] module: loaded", 28},
        {"fields window creating ...", [main] { new TFieldsF(main); }, "[Fields] module: loaded", 30},
        {"multidel window creating ...", [main] { new TMultiDelF(main); }, "[MultiDel] module: loaded", 32},
        {"register window creating ...", [main] { new TRegisterF(main); }, "[Register] module: loaded", 36},
        {"add book window creating ...", [main] { new Tadd(main); }, "[Add] module: loaded", 40},
        {"back window creating ...", [main] { new TBackF(main); }, "[Back] module: loaded", 43},
        {"given cng window creating ...", [main] { new TGivenCngF(main); }, "[GivenCng] module: loaded", 46},
        {"settings window creating ...", [main] { new TSettings(main); }, "[Settings] module: loaded", 50},
        {"log view window creating ...", [main] { new TLogView(main); }, "[Log] module: loaded", 55},
        {"edit book window creating ...", [main] { new Tcng(main); }, "[Cng] module: loaded", 60},
        {"view book window creating ...", [main] { new TViewF(main); }, "[View] module: loaded", 68},
        {"sql window creating ...", [main] { new TsqlF(main); }, "[Sql] module: loaded", 73},
        {"language module initialising ...",
         [main] {
             DataModule9 = new QObject(main);
             DataModule9->setObjectName(QStringLiteral("DataModule9"));
         },
         "[Lng] module: loaded", 77},
        {"given window creating ...", [main] { new TGivenF(main); }, "[Given] module: loaded", 80},
    };
    for (const WindowStep &step : steps) {
        splash->showStatus(QString::fromLatin1(step.status));
        createGuarded(step.create);
        LogEvent(QString::fromLatin1(step.consoleLine));
        splash->setProgress(step.progress);
        if (firstRun && step.progress == 36) {
            splash->form()->thanksLb->setVisible(true);
            splash->repaint();
        }
    }

    connectWindows();
    splash->showStatus(QStringLiteral("initialising bibliora ..."));
    LogEvent(LangStr(QStringLiteral("cinit")) + QStringLiteral("..."));
    LogEvent(LangStr(QStringLiteral("iprog")) + QStringLiteral(" v") + LangStr(QStringLiteral("iver")) +
             QStringLiteral(" ") + LangStr(QStringLiteral("iplatf")) + QStringLiteral(" build") +
             LangStr(QStringLiteral("ibuild")) + QStringLiteral(" ") + LangStr(QStringLiteral("imore")));
    if (EngineCheck::embeddedEngineAvailable()) {
        LogEvent(LangStr(QStringLiteral("cdetected")));
    } else {
        LogEvent(LangStr(QStringLiteral("cndetected")));
        LogEvent(LangStr(QStringLiteral("cswitch")));
    }
    LogEvent(LangStr(libraryFileInCurrentDirectory() ? QStringLiteral("cdbyes") : QStringLiteral("cdbno")));
    LogEvent(LangStr(QStringLiteral("cdbpath")) + QDir::currentPath() + QLatin1Char('/') +
             MainF->IBDatabase1()->databaseName());
    splash->setProgress(82);

    splash->showStatus(QStringLiteral("connection window creating ..."));
    createGuarded([main] { new TConnectionSettings(main); });
    LogEvent(QStringLiteral("[Connection] module: loaded"));
    try {
        LoadConnectionProfile();
        LogEvent(QStringLiteral("Connection settings loaded"));
    } catch (...) {
        // An unreadable profile leaves the initial values; the first list opens with them.
    }
    splash->setProgress(88);
    splash->showStatus(QStringLiteral("updating language ..."));
    ApplyLanguage();
    splash->setProgress(100);
    LogEvent(LangStr(QStringLiteral("cstarted")));

    if (!firstRun) {
        splash->form()->DoneLb->hide();
        return;
    }
    splash->showLanguageChooser();
    MainF->Register1Click();
    if (RegisterF) {
        placeBesideSplash(splash, RegisterF);
        RegisterF->activateWindow();
    }
    if (RegisterF)
        new KeptBesideSplash(splash, RegisterF);
    while (!splash->closeAllowed()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents, 50);
        QApplication::sendPostedEvents();
    }
    // Quitting before "OK" leaves no settings behind, so the next start offers the language again.
    if (!splash->languageConfirmed())
        QFile::remove(QDir::current().filePath(QStringLiteral(".settings")));
    splash->form()->DoneLb->hide();
    splash->form()->thanksLb->hide();
}
