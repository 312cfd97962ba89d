#include "AppState.h"
#include "EventConsole.h"
#include "FileError.h"
#include "LangStr.h"
#include "MainWindow.h"
#include "Settings.h"
#include "SettingsFiles.h"
#include "SettingsList.h"
#include "UserPrompts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace
{

const QByteArray DefaultSettingsBytes = "Showtime=1\r\nShowconsole=1\r\nLanguage=en\r\nAutolog=1\r\nHideleftframe=0\r\n"
                                        "Transparency=255\r\nShowbookstab=0\r\nShowgivenbookstab=0\r\nShowinfotab=0\r\n"
                                        "Showsqltab=0\r\nTabsontop=0\r\nDeftab=books\r\n";
const QByteArray WhiteTheme("\xFF\xFF\xFF\x00", 4);

QByteArray crlfLines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

// The messages of the console lines, without the time stamp and the closing ";".
QStringList consoleMessages()
{
    QStringList messages;
    for (const QString &line : EventConsole::lines()) {
        QString message = line.mid(line.indexOf(QStringLiteral(": ")) + 2);
        message.chop(1);
        messages << message;
    }
    return messages;
}

int opacityOf(const QWidget *window)
{
    return qRound(window->windowOpacity() * 255);
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void themeFileRoundTrip_data();
    void themeFileRoundTrip();
    void themeFileErrors_data();
    void themeFileErrors();
    void transparencyText_data();
    void transparencyText();

    void firstStartWritesDefaults();
    void badTransparencyResetsToDefaults_data();
    void badTransparencyResetsToDefaults();
    void transparencyIsBroughtIntoRange_data();
    void transparencyIsBroughtIntoRange();
    void themeIsLoadedOrReset_data();
    void themeIsLoadedOrReset();
    void unreadableSettingsKeepBuiltInList();
    void settingsActOnMainWindow();

    void applyWritesEveryControl();
    void applyLogsLanguageOnlyWhenChanged_data();
    void applyLogsLanguageOnlyWhenChanged();
    void cancelKeepsFileAndOpacity();
    void applyWriteFailureKeepsWindowOpen();
    void themeThatCannotBeWrittenKeepsLanguage_data();
    void themeThatCannotBeWrittenKeepsLanguage();
    void unreadableSettingsAreNotOverwritten();

private:
    QString path(const QString &name) const { return m_dir->path() + QLatin1Char('/') + name; }
    void writeFile(const QString &name, const QByteArray &bytes);
    QByteArray readFile(const QString &name) const;
    void start();
    template <typename T> T *control(const char *name) const
    {
        return Settings->findChild<T *>(QString::fromLatin1(name));
    }
    template <typename T> T *mainChild(const char *name) const
    {
        return MainF->findChild<T *>(QString::fromLatin1(name));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousDir;
};

void TestSettings::init()
{
    m_previousDir = QDir::currentPath();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir::setCurrent(m_dir->path());
    AppState::setBaseDirectory(m_dir->path() + QLatin1Char('/'));
    AppState::setThemeColor(Qt::white);
    EventConsole::reset();
    UserPrompts::setAutoAnswer(true);
    UserPrompts::clearShownMessages();
    settingsList().setLines({});
}

void TestSettings::cleanup()
{
    delete Settings;
    delete MainF;
    QDir::setCurrent(m_previousDir);
    m_dir.reset();
}

void TestSettings::writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(path(name));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray TestSettings::readFile(const QString &name) const
{
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void TestSettings::start()
{
    new TMainF;
    new TSettings(MainF);
    QVERIFY(Settings);
}

void TestSettings::themeFileRoundTrip_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("white") << QColor(255, 255, 255) << WhiteTheme;
    QTest::newRow("red in the lowest byte") << QColor(0x12, 0x34, 0x56) << QByteArray("\x12\x34\x56\x00", 4);
    QTest::newRow("black") << QColor(0, 0, 0) << QByteArray(4, '\0');
}

void TestSettings::themeFileRoundTrip()
{
    QFETCH(QColor, color);
    QFETCH(QByteArray, bytes);
    SettingsFiles::writeTheme(path(QStringLiteral(".theme")), color);
    QCOMPARE(readFile(QStringLiteral(".theme")), bytes);
    QCOMPARE(SettingsFiles::readTheme(path(QStringLiteral(".theme"))), color);
}

void TestSettings::themeFileErrors_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("missing") << false << QByteArray();
    QTest::newRow("empty") << true << QByteArray();
    QTest::newRow("three bytes") << true << QByteArray("\xFF\xFF\xFF");
}

void TestSettings::themeFileErrors()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, bytes);
    if (exists)
        writeFile(QStringLiteral(".theme"), bytes);
    QVERIFY_THROWS_EXCEPTION(FileError, SettingsFiles::readTheme(path(QStringLiteral(".theme"))));
    QVERIFY_THROWS_EXCEPTION(FileError, SettingsFiles::writeTheme(path(QStringLiteral("no/such/dir/.theme")), Qt::red));
}

void TestSettings::transparencyText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // -1: not a value
    QTest::newRow("opaque") << "255" << 255;
    QTest::newRow("inside") << "128" << 128;
    QTest::newRow("below range") << "10" << 30;
    QTest::newRow("negative") << "-4" << 30;
    QTest::newRow("above range") << "300" << 255;
    QTest::newRow("word") << "abc" << -1;
    QTest::newRow("fraction") << "12.5" << -1;
    QTest::newRow("empty") << "" << -1;
}

void TestSettings::transparencyText()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(SettingsFiles::transparencyValue(text).value_or(-1), expected);
}

void TestSettings::firstStartWritesDefaults()
{
    start();
    QCOMPARE(readFile(QStringLiteral(".settings")), DefaultSettingsBytes);
    QCOMPARE(readFile(QStringLiteral(".theme")), WhiteTheme);
    const QStringList messages = consoleMessages();
    const qsizetype created = messages.indexOf(QStringLiteral("Creating settings file..."));
    QVERIFY2(created >= 0, qPrintable(messages.join(QLatin1Char('|'))));
    QCOMPARE(messages.value(created + 1), QStringLiteral("Settings loaded"));
    QVERIFY(UserPrompts::shownMessages().isEmpty());

    QCOMPARE(settingsList().lines(), SettingsFiles::DefList());
    QCOMPARE(control<QScrollBar>("sbTransp")->value(), 255);
    QCOMPARE(control<QComboBox>("SettingsLanguageCb")->currentIndex(), 0);
    // The default start page "books" names no page.
    QCOMPARE(control<QComboBox>("SettingsDefTabCmb")->currentIndex(), -1);
    QCOMPARE(control<QComboBox>("ColorBox1")->currentText(), QStringLiteral("White"));
    QVERIFY(!Settings->languageChanged());
}

void TestSettings::badTransparencyResetsToDefaults_data()
{
    QTest::addColumn<QByteArray>("content");
    const QByteArray head = "Showtime=0\r\nShowconsole=0\r\nLanguage=ua\r\nAutolog=0\r\n";
    QTest::newRow("missing") << head;
    QTest::newRow("not a number") << head + "Hideleftframe=1\r\nTransparency=abc\r\nTabsontop=1\r\n";
    QTest::newRow("empty") << head + "Transparency=\r\nShowsqltab=1\r\n";
}

void TestSettings::badTransparencyResetsToDefaults()
{
    QFETCH(QByteArray, content);
    writeFile(QStringLiteral(".settings"), content);
    start();

    QCOMPARE(readFile(QStringLiteral(".settings")), DefaultSettingsBytes);
    QCOMPARE(settingsList().lines(), SettingsFiles::DefList());
    const QStringList messages = consoleMessages();
    QVERIFY(messages.indexOf(QStringLiteral("Creating settings file...")) >
            messages.indexOf(QStringLiteral("Settings loaded")));

    // Filled before the reset: they keep the old file's values until the next Apply.
    QVERIFY(!control<QCheckBox>("SettingsShowtimeChk")->isChecked());
    QVERIFY(!control<QCheckBox>("SettingsAutologChk")->isChecked());
    QCOMPARE(control<QComboBox>("SettingsLanguageCb")->currentIndex(), 2);
    // Read after the reset: the defaults.
    QVERIFY(!control<QCheckBox>("SettingsHideLeftFrame")->isChecked());
    QVERIFY(!MainF->leftFrameCollapsed());
    QVERIFY(!control<QCheckBox>("SettingsTabsOnTop")->isChecked());
    QVERIFY(!control<QCheckBox>("SettingsDisplaySqlTab")->isChecked());
}

void TestSettings::transparencyIsBroughtIntoRange_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("position");
    QTest::newRow("too low") << "10" << 30;
    QTest::newRow("inside") << "200" << 200;
    QTest::newRow("too high") << "999" << 255;
}

void TestSettings::transparencyIsBroughtIntoRange()
{
    QFETCH(QString, stored);
    QFETCH(int, position);
    QStringList lines = SettingsFiles::DefList();
    lines[5] = QStringLiteral("Transparency=") + stored;
    writeFile(QStringLiteral(".settings"), crlfLines(lines));
    start();

    QCOMPARE(control<QScrollBar>("sbTransp")->value(), position);
    QCOMPARE(opacityOf(MainF), position);
    QCOMPARE(mainChild<QLabel>("lbOpacity")->text(), QString::number(position));
    QVERIFY(!mainChild<QLabel>("lbOpacity")->isHidden());
    // Loading changes nothing on disk.
    QCOMPARE(readFile(QStringLiteral(".settings")), crlfLines(lines));
}

void TestSettings::themeIsLoadedOrReset_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("reset");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QString>("boxText");
    QTest::newRow("short") << QByteArray("\x01\x02") << true << QColor(Qt::white) << "White";
    QTest::newRow("empty") << QByteArray() << true << QColor(Qt::white) << "White";
    QTest::newRow("named colour") << QByteArray("\x80\x00\x00\x00", 4) << false << QColor(0x80, 0, 0) << "Maroon";
    QTest::newRow("unnamed colour") << QByteArray("\x00\x81\xFE\x00", 4) << false << QColor(0, 0x81, 0xFE)
                                    << "Custom...";
}

void TestSettings::themeIsLoadedOrReset()
{
    QFETCH(QByteArray, stored);
    QFETCH(bool, reset);
    QFETCH(QColor, color);
    QFETCH(QString, boxText);
    writeFile(QStringLiteral(".settings"), DefaultSettingsBytes);
    writeFile(QStringLiteral(".theme"), stored);
    start();

    const QStringList messages = consoleMessages();
    const qsizetype error = messages.indexOf(QStringLiteral("Error on theme loading!"));
    QCOMPARE(error >= 0, reset);
    if (reset)
        QCOMPARE(messages.value(error + 1), QStringLiteral("Reset theme to default"));
    QCOMPARE(readFile(QStringLiteral(".theme")), reset ? WhiteTheme : stored);
    QCOMPARE(AppState::themeColor(), color);
    QCOMPARE(Settings->colorBoxColor(), color);
    QCOMPARE(control<QComboBox>("ColorBox1")->currentText(), boxText);
    QVERIFY(messages.contains(QStringLiteral("Settings loaded")));
}

void TestSettings::unreadableSettingsKeepBuiltInList()
{
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral(".settings")));
    start();

    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QCOMPARE(settingsList().lines(), (QStringList{QStringLiteral("Showtime=1"), QStringLiteral("Showconsole=1"),
                                                  QStringLiteral("Language=ru"), QStringLiteral("Autolog=1")}));
    QVERIFY(!consoleMessages().contains(QStringLiteral("Settings loaded")));
    QCOMPARE(Settings->objectName(), QStringLiteral("Settings"));
}

void TestSettings::settingsActOnMainWindow()
{
    writeFile(QStringLiteral(".settings"),
              "Showtime=0\r\nShowconsole=0\r\nLanguage=ru\r\nAutolog=0\r\nHideleftframe=1\r\nTransparency=255\r\n"
              "Showbookstab=0\r\nShowgivenbookstab=1\r\nShowinfotab=0\r\nShowsqltab=1\r\nTabsontop=1\r\nDeftab=2\r\n");
    start();

    QVERIFY(!control<QCheckBox>("SettingsShowtimeChk")->isChecked());
    QVERIFY(mainChild<QWidget>("TimeLabel")->isHidden());
    QVERIFY(!control<QCheckBox>("SettingsShowconsoleChk")->isChecked());
    QCOMPARE(mainChild<QWidget>("MainBottomFrame")->maximumHeight(), 0);
    QVERIFY(!control<QCheckBox>("SettingsAutologChk")->isChecked());
    QCOMPARE(control<QComboBox>("SettingsLanguageCb")->currentIndex(), 1);
    QVERIFY(!Settings->languageChanged());
    QVERIFY(control<QCheckBox>("SettingsHideLeftFrame")->isChecked());
    QVERIFY(MainF->leftFrameCollapsed());

    auto *pages = mainChild<QTabWidget>("PageControl1");
    const bool visible[] = {false, true, false, true};
    for (int page = 0; page < 4; ++page)
        QCOMPARE(pages->tabBar()->isTabVisible(page), visible[page]);
    QVERIFY(control<QCheckBox>("SettingsDisplayGivenBooksTab")->isChecked());
    QVERIFY(control<QCheckBox>("SettingsDisplaySqlTab")->isChecked());
    QVERIFY(control<QCheckBox>("SettingsTabsOnTop")->isChecked());
    QCOMPARE(pages->tabPosition(), QTabWidget::North);
    QCOMPARE(pages->currentIndex(), 2);
    QCOMPARE(control<QComboBox>("SettingsDefTabCmb")->currentIndex(), 2);
    QCOMPARE(opacityOf(MainF), 255);
}

void TestSettings::applyWritesEveryControl()
{
    start();
    Settings->show();
    control<QCheckBox>("SettingsShowtimeChk")->setChecked(false);
    control<QCheckBox>("SettingsShowconsoleChk")->setChecked(false);
    control<QCheckBox>("SettingsAutologChk")->setChecked(false);
    control<QScrollBar>("sbTransp")->setValue(100);
    control<QCheckBox>("SettingsHideLeftFrame")->setChecked(true);
    control<QCheckBox>("SettingsDisplayBooksTab")->setChecked(true);
    control<QCheckBox>("SettingsDisplayInfoTab")->setChecked(true);
    control<QCheckBox>("SettingsTabsOnTop")->setChecked(true);
    Settings->setColorBoxColor(QColor(0x11, 0x22, 0x33));

    Settings->Button1Click();

    QCOMPARE(readFile(QStringLiteral(".settings")),
             QByteArray("Showtime=0\r\nShowconsole=0\r\nLanguage=en\r\nAutolog=0\r\nHideleftframe=1\r\n"
                        "Transparency=100\r\nShowbookstab=1\r\nShowgivenbookstab=0\r\nShowinfotab=1\r\n"
                        "Showsqltab=0\r\nTabsontop=1\r\nDeftab=books\r\n"));
    QCOMPARE(readFile(QStringLiteral(".theme")), QByteArray("\x11\x22\x33\x00", 4));
    QCOMPARE(AppState::themeColor(), QColor(0x11, 0x22, 0x33));
    QVERIFY(!Settings->isVisible());

    QCOMPARE(opacityOf(MainF), 100);
    QVERIFY(MainF->leftFrameCollapsed());
    QVERIFY(mainChild<QWidget>("TimeLabel")->isHidden());
    QCOMPARE(mainChild<QWidget>("MainBottomFrame")->maximumHeight(), 0);
    auto *pages = mainChild<QTabWidget>("PageControl1");
    QVERIFY(pages->tabBar()->isTabVisible(0));
    QVERIFY(!pages->tabBar()->isTabVisible(1));
    QCOMPARE(pages->tabPosition(), QTabWidget::North);
    QVERIFY(!consoleMessages().join(QLatin1Char('|')).contains(QStringLiteral("Reset language variable")));
}

void TestSettings::applyLogsLanguageOnlyWhenChanged_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("language"); // empty: no language line
    QTest::addColumn<QString>("deftab");
    QTest::newRow("untouched") << "none"
                               << ""
                               << "books";
    QTest::newRow("Ukrainian chosen") << "ukrainian"
                                      << "ua"
                                      << "books";
    QTest::newRow("By default link") << "link"
                                     << "en"
                                     << "0";
    QTest::newRow("By default menu") << "menu"
                                     << "ru"
                                     << "books";
}

void TestSettings::applyLogsLanguageOnlyWhenChanged()
{
    QFETCH(QString, action);
    QFETCH(QString, language);
    QFETCH(QString, deftab);
    start();
    Settings->show();
    if (action == QLatin1String("ukrainian"))
        control<QComboBox>("SettingsLanguageCb")->setCurrentIndex(2);
    else if (action == QLatin1String("link"))
        Settings->Label6Click();
    else if (action == QLatin1String("menu"))
        Settings->N2()->trigger();

    Settings->Button1Click();

    const QString line = QStringLiteral("Reset language variable to [%1] value, updating...").arg(language);
    const QStringList messages = consoleMessages();
    if (language.isEmpty()) {
        QVERIFY(!messages.join(QLatin1Char('|')).contains(QStringLiteral("Reset language variable")));
    } else {
        QVERIFY2(messages.contains(line), qPrintable(messages.join(QLatin1Char('|'))));
        QCOMPARE(control<QPushButton>("Button1")->text(), LangStr(QStringLiteral("wapply")));
    }
    const QString expectedLanguage = language.isEmpty() ? QStringLiteral("en") : language;
    QCOMPARE(settingsList().value(QStringLiteral("Language")), expectedLanguage);
    QCOMPARE(settingsList().value(QStringLiteral("Deftab")), deftab);
    QVERIFY(readFile(QStringLiteral(".settings")).contains("Deftab=" + deftab.toLatin1() + "\r\n"));
}

void TestSettings::cancelKeepsFileAndOpacity()
{
    start();
    Settings->show();
    control<QScrollBar>("sbTransp")->setValue(120);
    QCOMPARE(opacityOf(MainF), 120);

    Settings->Button2Click();

    QVERIFY(!Settings->isVisible());
    QCOMPARE(readFile(QStringLiteral(".settings")), DefaultSettingsBytes);
    QCOMPARE(opacityOf(MainF), 120);
    QCOMPARE(control<QScrollBar>("sbTransp")->value(), 120);
}

void TestSettings::applyWriteFailureKeepsWindowOpen()
{
    start();
    Settings->show();
    QVERIFY(QFile::remove(path(QStringLiteral(".settings"))));
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral(".settings")));

    Settings->Button1Click();

    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QVERIFY(Settings->isVisible());
}

QTEST_MAIN(TestSettings)
void TestSettings::themeThatCannotBeWrittenKeepsLanguage_data()
{
    QTest::addColumn<bool>("atStart");
    QTest::newRow("at start-up") << true;
    QTest::newRow("on apply") << false;
}

void TestSettings::themeThatCannotBeWrittenKeepsLanguage()
{
    QFETCH(bool, atStart);
    if (atStart) {
        writeFile(
            QStringLiteral(".settings"),
            SettingsFiles::DefList().join(QStringLiteral("\r\n")).replace("Language=en", "Language=ua").toLatin1() +
                "\r\n");
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral(".theme"))); // a theme that cannot be written
        start();
    } else {
        start();
        Settings->show();
        QVERIFY(QFile::remove(path(QStringLiteral(".theme"))));
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral(".theme")));
        control<QComboBox>("SettingsLanguageCb")->setCurrentIndex(2);
        Settings->Button1Click();
        QVERIFY(Settings->isVisible());
        QVERIFY(readFile(QStringLiteral(".settings")).contains("Language=ua\r\n"));
        QVERIFY(consoleMessages().contains(QStringLiteral("Reset language variable to [ua] value, updating...")));
    }
    QCOMPARE(settingsList().value(QStringLiteral("Language")), QStringLiteral("ua"));
    QCOMPARE(LangStr(QStringLiteral("lsettings")), QStringLiteral("Настройки"));
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QVERIFY(UserPrompts::shownMessages().first().contains(QStringLiteral(".theme")));
    QVERIFY(UserPrompts::shownMessages().first().endsWith(LangStr(QStringLiteral("cfilenw"))));
}

void TestSettings::unreadableSettingsAreNotOverwritten()
{
    // Settings that could not be read are kept aside before the first rewrite, or not rewritten.
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral(".settings")));
    start();
    UserPrompts::clearShownMessages();
    Settings->show();
    Settings->Button1Click();
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QVERIFY(UserPrompts::shownMessages().first().startsWith(QStringLiteral("Cannot keep a copy of")));
    QVERIFY(QFileInfo(path(QStringLiteral(".settings"))).isDir());
    QVERIFY(Settings->isVisible());
}

#include "tst_settings.moc"
