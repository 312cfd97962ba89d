#include "AppFixture.h"
#include "AppState.h"
#include "EngineCheck.h"
#include "EventConsole.h"
#include "FbDatabase.h"
#include "LangStr.h"
#include "MainWindow.h"
#include "RegisterWindow.h"
#include "RuntimeDirectory.h"
#include "SettingsList.h"
#include "Splash.h"
#include "UserPrompts.h"
#include "ui_Splash.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTimer>
#include <QScreen>
#include <QtTest>

namespace {

QStringList windowLines()
{
    // No constant files yet: the constants window's loading stops at the first one.
    return {QStringLiteral("[Main] module: loaded"),
            QStringLiteral("[Const] module: error on constants loading!"),
            QStringLiteral("[Constants] module: loaded"),
            QStringLiteral("[Lookup] module: loaded"),   QStringLiteral("[Addconst] module: loaded"),
            QStringLiteral("[Fields] module: loaded"),   QStringLiteral("[MultiDel] module: loaded"),
            QStringLiteral("[Register] module: loaded"), QStringLiteral("[Add] module: loaded"),
            QStringLiteral("[Back] module: loaded"),     QStringLiteral("[GivenCng] module: loaded"),
            QStringLiteral("Settings loaded"),           QStringLiteral("[Settings] module: loaded"),
            QStringLiteral("[Log] module: loaded"),      QStringLiteral("[Cng] module: loaded"),
            QStringLiteral("[View] module: loaded"),     QStringLiteral("[Sql] module: loaded"),
            QStringLiteral("[Lng] module: loaded"),      QStringLiteral("[Given] module: loaded"),
            QStringLiteral("Initialising..."),
            QStringLiteral("Bibliora v2.3 linux build83 BETA_04 Application preview")};
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void normalStart_data();
    void normalStart();
    void linesCarryTimeStamp();
    void unreadableProfileIsSwallowed();
    void missingLibraryKeepsProgramRunning();
    void firstRunWaitsForOk_data();
    void firstRunWaitsForOk();
    void quitBeforeOkLeavesNoSettings();
    void runtimeDirectoryIsPrivate();
};

void TestStartup::cleanup()
{
    EngineCheck::setPluginPaths({QStringLiteral("/usr/lib/x86_64-linux-gnu/firebird/3.0/plugins/libEngine12.so")});
}

void TestStartup::normalStart_data()
{
    QTest::addColumn<bool>("engine");
    QTest::addColumn<bool>("gds32");
    QTest::addColumn<bool>("library");
    QTest::addColumn<bool>("profile");
    QTest::newRow("engine, library") << true << false << true << false;
    QTest::newRow("no engine, library") << false << false << true << false;
    QTest::newRow("gds32.dll only") << false << true << true << false;
    QTest::newRow("no library") << true << false << false << false;
    QTest::newRow("profile connects") << true << false << true << true;
}

void TestStartup::normalStart()
{
    QFETCH(bool, engine);
    QFETCH(bool, gds32);
    QFETCH(bool, library);
    QFETCH(bool, profile);
    AppFixture::Files files;
    files.gds32 = gds32;
    files.library = library;
    files.profile = profile;
    AppFixture app(files);
    if (!engine)
        EngineCheck::setPluginPaths({app.path(QStringLiteral("no-such-plugin.so"))});
    app.start(false);

    QStringList expected = windowLines();
    if (engine || gds32) {
        expected << LangStr(QStringLiteral("cdetected"));
    } else {
        expected << QStringLiteral("Built-in database core isn't detected")
                 << QStringLiteral("Switching to external database server mode");
    }
    expected << LangStr(library ? QStringLiteral("cdbyes") : QStringLiteral("cdbno"));
    expected << QStringLiteral("Default database file path - ") + QDir::currentPath() + QStringLiteral("/LIBRARY.GDB");
    expected << QStringLiteral("[Connection] module: loaded");
    if (profile)
        expected << QStringLiteral("Disconnecting from database ...")
                 << QStringLiteral("Disconnecting from database: disconnected")
                 << QStringLiteral("Connecting to database ...")
                 // A new library gets the tables of the ISBNs and of the loans' due dates at its first connect.
                 << LangStr(QStringLiteral("cisbntable")) << LangStr(QStringLiteral("cloanupg"))
                 << QStringLiteral("Connecting to database: successful")
                 << QStringLiteral("Connected to: ") + app.path(QStringLiteral("LIBRARY.GDB"));
    expected << QStringLiteral("Connection settings loaded") << QStringLiteral("Work started");
    QCOMPARE(AppFixture::consoleMessages(), expected);
    QCOMPARE(MainF->IBDatabase1()->connected(), profile);
    QCOMPARE(AppState::baseDirectory(), QDir::currentPath() + QLatin1Char('/'));
    QVERIFY(!SplashF->form()->DoneLb->isVisible());
    // The platform the program runs on, as the version line above names it.
    QCOMPARE(SplashF->form()->Label6->text(), QStringLiteral("Platform: Linux"));
}

void TestStartup::linesCarryTimeStamp()
{
    AppFixture app;
    app.start(false);
    const QRegularExpression eventLine(QStringLiteral("^\\S.* \\d{1,2}:\\d{2}:\\d{2}: .*;$"));
    for (const QString &line : EventConsole::lines())
        QVERIFY2(eventLine.match(line).hasMatch(), qPrintable(line));
}

void TestStartup::unreadableProfileIsSwallowed()
{
    AppFixture app;
    QFile profile(app.path(QStringLiteral(".dbconnection")));
    QVERIFY(profile.open(QIODevice::WriteOnly));
    profile.write("too short");
    profile.close();
    app.start(false);
    const QStringList messages = AppFixture::consoleMessages();
    QVERIFY(!messages.contains(QStringLiteral("Connection settings loaded")));
    QCOMPARE(messages.last(), QStringLiteral("Work started"));
    QVERIFY(!MainF->IBDatabase1()->connected());
}

void TestStartup::missingLibraryKeepsProgramRunning()
{
    AppFixture::Files files;
    files.library = false;
    AppFixture app(files);
    app.start();
    // The first show tries the book list; the engine's text reaches the general error box.
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QVERIFY2(UserPrompts::shownMessages().first().contains(QLatin1String("LIBRARY.GDB")),
             qPrintable(UserPrompts::shownMessages().first()));
    QVERIFY(MainF->isVisible());
    QVERIFY(!MainF->IBDatabase1()->connected());
}

void TestStartup::firstRunWaitsForOk_data()
{
    QTest::addColumn<int>("pick");
    QTest::addColumn<QString>("language");
    QTest::newRow("OK without touching the list") << -1 << QStringLiteral("en");
    QTest::newRow("Ukrainian picked") << 2 << QStringLiteral("ua");
}

void TestStartup::firstRunWaitsForOk()
{
    QFETCH(int, pick);
    QFETCH(QString, language);
    AppFixture::Files files;
    files.settings = false;
    AppFixture app(files);
    bool registrationShown = false;
    bool bothInSight = false;
    bool languageSwitchedAtOnce = pick < 0;
    // Answer the splash the way a user does, once the wait has begun.
    AppFixture::atFirstStartWait([&] {
        registrationShown = RegisterF && RegisterF->isVisible();
        // The registration window beside the splash, neither off the screen nor over the other.
        const QRect screen = SplashF->screen()->availableGeometry();
        bothInSight = registrationShown && screen.contains(RegisterF->frameGeometry()) &&
                      screen.contains(SplashF->frameGeometry()) &&
                      !RegisterF->frameGeometry().intersects(SplashF->frameGeometry());
        QVERIFY(SplashF->form()->LanguageSelection->isVisible());
        QVERIFY(!SplashF->form()->LoadProgress->isVisible());
        if (pick >= 0) {
            SplashF->form()->LanguageCb->setCurrentIndex(pick);
            SplashF->LanguageCbChange(pick);
            languageSwitchedAtOnce = MainF->findChild<QLabel *>(QStringLiteral("LeftAddLnk"))->text() ==
                                     QStringLiteral("Додати книжку");
        }
        SplashF->DoneLbClick();
    });
    app.start(false);
    QVERIFY(registrationShown);
    QVERIFY(bothInSight);
    QVERIFY(languageSwitchedAtOnce);
    QVERIFY(SplashF->closeAllowed());
    QVERIFY(!SplashF->form()->thanksLb->isVisible());
    QCOMPARE(settingsList().value(QStringLiteral("Language")), language);
    QFile saved(app.path(QStringLiteral(".settings")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().contains("Language=" + language.toLatin1() + "\r\n"));
    MainF->show();
    QVERIFY(!SplashF->isVisible());
}

void TestStartup::runtimeDirectoryIsPrivate()
{
    QTemporaryDir temp;
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray savedTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    qunsetenv("XDG_RUNTIME_DIR");

    // A directory left open to others by an earlier run is made private again.
    const QString expected = temp.path() + QStringLiteral("/runtime-") + qEnvironmentVariable("USER", "root");
    QVERIFY(QDir().mkpath(expected));
    QFile::setPermissions(expected, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                        QFile::ExeOther);
    const QString made = RuntimeDirectory::prepare();
    const QFile::Permissions permissions = QFileInfo(made).permissions();
    const QByteArray named = qgetenv("XDG_RUNTIME_DIR");
    // A directory the session names is kept.
    qputenv("XDG_RUNTIME_DIR", "/run/user/4242");
    const QString kept = RuntimeDirectory::prepare();

    qputenv("TMPDIR", savedTemp);
    if (savedRuntime.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
    QCOMPARE(made, expected);
    QCOMPARE(QFile::decodeName(named), expected);
    QCOMPARE(permissions & (QFile::ReadGroup | QFile::ReadOther | QFile::ExeOther | QFile::WriteOther), QFile::Permissions());
    QVERIFY(permissions & QFile::WriteOwner);
    QCOMPARE(kept, QStringLiteral("/run/user/4242"));
}

void TestStartup::quitBeforeOkLeavesNoSettings()
{
    AppFixture::Files files;
    files.settings = false;
    AppFixture app(files);
    AppFixture::atFirstStartWait([] {
        // A language is picked, then the program is told to end: the wait is let go as a
        // termination signal lets it go, without "OK".
        SplashF->form()->LanguageCb->setCurrentIndex(1);
        SplashF->LanguageCbChange(1);
        SplashF->form()->CloseAllowed->setChecked(true);
    });
    app.start(false);
    QVERIFY(!QFile::exists(app.path(QStringLiteral(".settings"))));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
