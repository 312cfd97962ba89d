#include "AppState.h"
#include "ClickableLabel.h"
#include "ConnectionProfileFile.h"
#include "ConnectionSettings.h"
#include "EventConsole.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "FileError.h"
#include "LangStr.h"
#include "LoginDialog.h"
#include "MainWindow.h"
#include "SettingsList.h"
#include "TestLibrary.h"
#include "UserPrompts.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTableWidget>
#include <QtTest>

#include <memory>

namespace
{

using Fields = QList<QPair<int, QByteArray>>;

// The record expected on disk: zeros, with each field's length byte and characters at its offset.
QByteArray record(const Fields &fields)
{
    QByteArray bytes(406, '\0');
    for (const auto &[offset, field] : fields)
        bytes.replace(offset, field.size(), field);
    return bytes;
}

QByteArray lengthByte(int n)
{
    return QByteArray(1, static_cast<char>(n));
}

ConnectionProfile defaults()
{
    return {QStringLiteral("WIN1251"), QStringLiteral("SYSDBA"), QStringLiteral("quietlamp"),
            QStringLiteral("LIBRARY.GDB"), QStringLiteral("0")};
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QFileDevice::Permissions accessBits(const QString &path)
{
    // ReadUser/WriteUser mirror the owner's bits for the file's owner; compare the rest.
    return QFileInfo(path).permissions() & (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                            QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
}

// Stands in for the main window: one real connection, made from the profile the way the main
// window's ConnectDatabase makes it, and a record of the routines called.
class FakeMainWindow : public MainWindowApi
{
public:
    FbDatabase db;
    FbTransaction tr{&db};
    QStringList calls;

    FbDatabase *IBDatabase1() override { return &db; }
    FbQuery *IBQuery1() override { return nullptr; }
    FbQuery *IBQuery2() override { return nullptr; }
    FbQuery *IBQuery5() override { return nullptr; }
    FbQuery *IBQuery6() override { return nullptr; }
    DataSource *DataSource1() override { return nullptr; }
    DataSource *DataSource4() override { return nullptr; }
    QString CurrentBookSql() const override { return {}; }
    void setCurrentBookSql(const QString &) override {}
    QString BookBaseSql() const override { return {}; }
    void setBookBaseSql(const QString &) override {}
    QString GivenBaseSql() const override { return {}; }
    void setGivenBaseSql(const QString &) override {}
    void UpgradeDatabaseStructure() override { calls << QStringLiteral("UpgradeDatabaseStructure"); }
    void RefreshGiven() override { calls << QStringLiteral("RefreshGiven"); }
    void showConnectedPath(const QString &) override {}

    void ConnectDatabase() override
    {
        calls << QStringLiteral("ConnectDatabase");
        db.close();
        const QString prompt = ConnectionSettings->generalValue(ProfileKey::loginPrompt);
        if (prompt == QLatin1String("1") || prompt == QLatin1String("0"))
            db.setLoginPrompt(prompt == QLatin1String("1"));
        const QString path = ConnectionSettings->generalValue(ProfileKey::dbFilePath);
        if (QFileInfo(path).isFile() && path.endsWith(QLatin1String(".gdb"), Qt::CaseInsensitive))
            db.setDatabaseName(path);
        try {
            db.setParams(ConnectionSettings->connectionParams());
            db.open();
            LogEvent(LangStr(QStringLiteral("cdbconnd")));
        } catch (const FbError &) {
            LogEvent(LangStr(QStringLiteral("cdbconner")));
        }
    }
    void DisconnectDatabase() override
    {
        calls << QStringLiteral("DisconnectDatabase");
        db.close();
    }
    void RefreshBooks() override
    {
        calls << QStringLiteral("RefreshBooks");
        FbQuery books(&db);
        books.setSqlText(QStringLiteral("select * from BOOK"));
        books.open();
    }
};

} // namespace

class TestConnectionProfile : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void recordBytes_data();
    void recordBytes();
    void decodeReadsOnlyUsedCharacters();
    void fileIsOwnerOnlyOnEveryWrite();
    void wrongSizeIsFileError_data();
    void wrongSizeIsFileError();
    void unwritableIsFileError();
    void bytesAfterTheRecordAreIgnored_data();
    void bytesAfterTheRecordAreIgnored();
    void unreadableProfileIsKeptAside_data();
    void unreadableProfileIsKeptAside();
    void valueTheFileCannotHoldIsRefused_data();
    void valueTheFileCannotHoldIsRefused();
    void pathTheFileCannotHoldIsRefused();

    void initialProfileAndTexts();
    void loadWithoutFileDoesNothing();
    void loadFillsProfileAndConnects();
    void loadOfBrokenFileChangesNothing();
    void saveKeepsEditsMadeBeforeCancel();
    void applyRefusesMissingFile_data();
    void applyRefusesMissingFile();
    void applyConnectsAndCloses();
    void applyReportsFailedConnection();
    void statusFollowsConnectionAndProfile();
    void userClicksOnLinksAndBox();
    void fileButtonKeepsLastChoice();
    void mainWindowConnectsWithProfile();

    void loginDialogFields();
    void loginDialogKeys_data();
    void loginDialogKeys();
    void connectWithLoginPrompt_data();
    void connectWithLoginPrompt();

private:
    QString profilePath() const { return m_base->filePath(QStringLiteral(".dbconnection")); }

    std::unique_ptr<QTemporaryDir> m_base;
    std::unique_ptr<TestLibrary> m_library;
    std::unique_ptr<FakeMainWindow> m_main;
};

void TestConnectionProfile::init()
{
    m_base = std::make_unique<QTemporaryDir>();
    QVERIFY(m_base->isValid());
    AppState::setBaseDirectory(m_base->path() + QLatin1Char('/'));
    settingsList().setLines({});
    EventConsole::reset();
    UserPrompts::clearShownMessages();
    UserPrompts::setAutoAnswer(true);
    m_library = std::make_unique<TestLibrary>();
    m_main = std::make_unique<FakeMainWindow>();
    setMainApi(m_main.get());
    ConnectionSettings = new TConnectionSettings;
}

void TestConnectionProfile::cleanup()
{
    delete ConnectionSettings;
    QVERIFY(ConnectionSettings == nullptr);
    setMainApi(nullptr);
    m_main.reset();
    m_library.reset();
    m_base.reset();
}

void TestConnectionProfile::recordBytes_data()
{
    QTest::addColumn<ConnectionProfile>("profile");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("defaults") << defaults()
                              << record({{0, "\x07WIN1251"},
                                         {17, "\x06SYSDBA"},
                                         {82, "\x09quietlamp"},
                                         {147, "\x0bLIBRARY.GDB"},
                                         {403, "\x01"
                                               "0"}});

    ConnectionProfile cyrillic = defaults();
    cyrillic.dbFilePath = QStringLiteral("C:\\Книги\\LIBRARY.GDB");
    cyrillic.userName = QStringLiteral("Ёжик");
    QTest::newRow("Cyrillic in Windows-1251") << cyrillic
                                              << record({{0, "\x07WIN1251"},
                                                         {17, "\x04\xa8\xe6\xe8\xea"},
                                                         {82, "\x09quietlamp"},
                                                         {147, "\x14"
                                                               "C:\\\xca\xed\xe8\xe3\xe8\\LIBRARY.GDB"},
                                                         {403, "\x01"
                                                               "0"}});

    ConnectionProfile empty;
    QTest::newRow("all empty") << empty << QByteArray(406, '\0');

    ConnectionProfile tooLong;
    tooLong.lcCtype = QString(20, QLatin1Char('c'));
    tooLong.userName = QString(65, QLatin1Char('u'));
    tooLong.password = QString(70, QLatin1Char('p'));
    tooLong.dbFilePath = QString(300, QLatin1Char('d'));
    tooLong.loginPrompt = QStringLiteral("123");
    QTest::newRow("over-long values cut at each field's end") << tooLong
                                                              << record({{0, lengthByte(16) + QByteArray(16, 'c')},
                                                                         {17, lengthByte(64) + QByteArray(64, 'u')},
                                                                         {82, lengthByte(64) + QByteArray(64, 'p')},
                                                                         {147, lengthByte(255) + QByteArray(255, 'd')},
                                                                         {403, "\x02"
                                                                               "12"}});
}

void TestConnectionProfile::recordBytes()
{
    QFETCH(ConnectionProfile, profile);
    QFETCH(QByteArray, expected);

    const QByteArray bytes = ConnectionProfileFile::encode(profile);
    QCOMPARE(bytes.toHex(' '), expected.toHex(' '));

    ConnectionProfile cut = profile;
    cut.lcCtype.truncate(16);
    cut.userName.truncate(64);
    cut.password.truncate(64);
    cut.dbFilePath.truncate(255);
    cut.loginPrompt.truncate(2);
    QVERIFY(ConnectionProfileFile::decode(bytes) == cut);

    ConnectionProfileFile::write(profilePath(), profile);
    QFile file(profilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().toHex(' '), expected.toHex(' '));
    QVERIFY(ConnectionProfileFile::read(profilePath()) == cut);
}

void TestConnectionProfile::decodeReadsOnlyUsedCharacters()
{
    QByteArray bytes = ConnectionProfileFile::encode(defaults());
    // Leftovers after the used characters mean nothing.
    bytes.replace(1 + 7, 5, "XXXXX");
    bytes.replace(404 + 1, 1, "9");
    QVERIFY(ConnectionProfileFile::decode(bytes) == defaults());

    // A damaged length byte reads no further than its own field.
    bytes[0] = static_cast<char>(200);
    bytes.replace(1, 16, QByteArray(16, 'z'));
    QCOMPARE(ConnectionProfileFile::decode(bytes).lcCtype, QString(16, QLatin1Char('z')));
    QCOMPARE(ConnectionProfileFile::decode(bytes).userName, QStringLiteral("SYSDBA"));
}

void TestConnectionProfile::fileIsOwnerOnlyOnEveryWrite()
{
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    ConnectionProfileFile::write(profilePath(), defaults());
    QCOMPARE(accessBits(profilePath()), ownerOnly);

    // A copy that others could read is replaced by one they cannot.
    QVERIFY(QFile::setPermissions(profilePath(), ownerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    ConnectionProfile changed = defaults();
    changed.password = QStringLiteral("secret");
    ConnectionProfileFile::write(profilePath(), changed);
    QCOMPARE(accessBits(profilePath()), ownerOnly);
    QCOMPARE(QFileInfo(profilePath()).size(), 406);
    QCOMPARE(ConnectionProfileFile::read(profilePath()).password, QStringLiteral("secret"));
}

void TestConnectionProfile::wrongSizeIsFileError_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("empty") << 0;
    QTest::newRow("one byte short") << 405;
    QTest::newRow("no file") << -1;
}

void TestConnectionProfile::wrongSizeIsFileError()
{
    QFETCH(int, size);
    if (size >= 0)
        writeBytes(profilePath(), ConnectionProfileFile::encode(defaults()).leftJustified(size, '\0', true));
    QVERIFY_THROWS_EXCEPTION(FileError, ConnectionProfileFile::read(profilePath()));
    QVERIFY_THROWS_EXCEPTION(FileError, ConnectionProfileFile::decode(QByteArray(qMax(size, 1), '\0')));
}

void TestConnectionProfile::unwritableIsFileError()
{
    QVERIFY_THROWS_EXCEPTION(
        FileError, ConnectionProfileFile::write(m_base->filePath(QStringLiteral("missing/.dbconnection")), defaults()));
    // A directory in the file's place cannot be replaced.
    QVERIFY(QDir(m_base->path()).mkdir(QStringLiteral(".dbconnection")));
    QVERIFY_THROWS_EXCEPTION(FileError, ConnectionProfileFile::write(profilePath(), defaults()));
}

void TestConnectionProfile::bytesAfterTheRecordAreIgnored_data()
{
    QTest::addColumn<QByteArray>("trailer");
    QTest::newRow("an editor's line end") << QByteArray("\n");
    QTest::newRow("a second record") << ConnectionProfileFile::encode(defaults());
}

void TestConnectionProfile::bytesAfterTheRecordAreIgnored()
{
    QFETCH(QByteArray, trailer);
    ConnectionProfile stored = defaults();
    stored.userName = QStringLiteral("ann");
    stored.dbFilePath = m_library->path();
    writeBytes(profilePath(), ConnectionProfileFile::encode(stored) + trailer);

    LoadConnectionProfile();

    QCOMPARE(ConnectionSettings->paramValue(ProfileKey::userName), QStringLiteral("ann"));
    QCOMPARE(ConnectionSettings->generalValue(ProfileKey::dbFilePath), m_library->path());
    QCOMPARE(m_main->calls, QStringList{"ConnectDatabase"});
    // At exit the user's library is what is written back, as one record.
    SaveConnectionProfile();
    QCOMPARE(QFileInfo(profilePath()).size(), 406);
    QVERIFY(ConnectionProfileFile::read(profilePath()) == stored);
    QVERIFY(!QFileInfo::exists(profilePath() + QStringLiteral(".bak")));
}

void TestConnectionProfile::unreadableProfileIsKeptAside_data()
{
    QTest::addColumn<bool>("directory");
    QTest::newRow("one byte short") << false;
    QTest::newRow("a directory in its place") << true;
}

void TestConnectionProfile::unreadableProfileIsKeptAside()
{
    QFETCH(bool, directory);
    const QByteArray old = ConnectionProfileFile::encode(defaults()).left(405);
    if (directory)
        QVERIFY(QDir(m_base->path()).mkdir(QStringLiteral(".dbconnection")));
    else
        writeBytes(profilePath(), old);
    QVERIFY_THROWS_EXCEPTION(FileError, LoadConnectionProfile());

    SaveConnectionProfile();

    const QString kept = profilePath() + QStringLiteral(".bak");
    if (directory) {
        QVERIFY(QFileInfo(kept).isDir());
    } else {
        QFile bak(kept);
        QVERIFY(bak.open(QIODevice::ReadOnly));
        QCOMPARE(bak.readAll(), old);
    }
    QVERIFY(ConnectionProfileFile::read(profilePath()) == defaults());
    QVERIFY(EventConsole::lines().last().endsWith(
        QStringLiteral(": The connection profile could not be read; the old file is kept as .dbconnection.bak;")));
    // The next save replaces the profile it wrote itself and keeps the old one where it is.
    const int lines = EventConsole::lines().size();
    SaveConnectionProfile();
    QVERIFY(QFileInfo::exists(kept));
    QCOMPARE(EventConsole::lines().size(), lines);
}

void TestConnectionProfile::valueTheFileCannotHoldIsRefused_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("user name, Chinese") << 0 << QStringLiteral("ann书") << QStringLiteral("书");
    QTest::newRow("password, outside the basic plane") << 1 << QStringLiteral("pass😀word")
                                                       << QStringLiteral("😀");
    QTest::newRow("password, Polish letter") << 1 << QStringLiteral("zażółć") << QStringLiteral("ż");
}

void TestConnectionProfile::valueTheFileCannotHoldIsRefused()
{
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    ConnectionSettings->show();
    QVERIFY(QTest::qWaitForWindowExposed(ConnectionSettings));
    QTableWidget *list = ConnectionSettings->LstParams();
    const QString before = list->item(row, 1)->text();
    list->setCurrentCell(row, 1);
    QTest::keyClick(list, Qt::Key_F2);
    auto *editor = list->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->setText(typed);
    QTest::keyClick(editor, Qt::Key_Return);

    // The view takes the value from the editor once the event loop runs.
    QTRY_VERIFY(!UserPrompts::shownMessages().isEmpty());
    QCOMPARE(list->item(row, 1)->text(), before);
    QCOMPARE(UserPrompts::shownMessages(),
             QStringList{QStringLiteral("The character \"%1\" cannot be kept in the connection profile "
                                        "(Windows-1251). The value has not been changed.").arg(shown)});

    // Text the file can hold is taken as typed.
    list->setCurrentCell(row, 1);
    QTest::keyClick(list, Qt::Key_F2);
    editor = list->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->setText(QStringLiteral("Ганна"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(list->item(row, 1)->text(), QStringLiteral("Ганна"));
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
}

void TestConnectionProfile::pathTheFileCannotHoldIsRefused()
{
    const QString path = m_base->filePath(QStringLiteral("书.gdb"));
    QVERIFY(QFile::copy(m_library->path(), path));
    ConnectionSettings->show();
    ConnectionSettings->DbFilePath()->setText(path);
    ConnectionSettings->Button2Click();

    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QVERIFY(UserPrompts::shownMessages().first().startsWith(QStringLiteral("The character \"书\"")));
    QVERIFY(m_main->calls.isEmpty());
    QCOMPARE(ConnectionSettings->generalValue(ProfileKey::dbFilePath), QStringLiteral("LIBRARY.GDB"));
    QVERIFY(ConnectionSettings->isVisible());
}

void TestConnectionProfile::initialProfileAndTexts()
{
    QCOMPARE(ConnectionSettings->objectName(), QStringLiteral("ConnectionSettings"));
    QCOMPARE(ConnectionSettings->connectionParams(),
             QStringList({"user_name=SYSDBA", "password=quietlamp", "lc_ctype=WIN1251"}));
    QCOMPARE(ConnectionSettings->generalValue(ProfileKey::dbFilePath), QStringLiteral("LIBRARY.GDB"));
    QCOMPARE(ConnectionSettings->generalValue(ProfileKey::loginPrompt), QStringLiteral("0"));
    QVERIFY(ConnectionSettings->generalValue(QStringLiteral("nothing")).isEmpty());
    QVERIFY(ConnectionSettings->DbFilePath()->text().isEmpty());

    QTableWidget *list = ConnectionSettings->findChild<QTableWidget *>(QStringLiteral("LstParams"));
    QVERIFY(list);
    QVERIFY(!list->item(1, 0)->flags().testFlag(Qt::ItemIsEditable));
    QVERIFY(list->item(1, 1)->flags().testFlag(Qt::ItemIsEditable));
    QCOMPARE(list->horizontalHeaderItem(0)->text(), QStringLiteral("Parameter"));
    QCOMPARE(list->horizontalHeaderItem(1)->text(), QStringLiteral("Value"));
    QVERIFY(ConnectionSettings->findChild<QTableWidget *>(QStringLiteral("LstGenaralSettings"))->isHidden());

    settingsList().setValue(QStringLiteral("Language"), QStringLiteral("ru"));
    ConnectionSettings->applyLanguage();
    QCOMPARE(list->horizontalHeaderItem(0)->text(), QStringLiteral("Параметр"));
    QCOMPARE(ConnectionSettings->findChild<QPushButton *>(QStringLiteral("Button2"))->text(),
             QStringLiteral("Применить"));
    QCOMPARE(ConnectionSettings->windowTitle(), QStringLiteral("Настройки подключения"));
}

void TestConnectionProfile::loadWithoutFileDoesNothing()
{
    const QStringList before = ConnectionSettings->connectionParams();
    LoadConnectionProfile();
    QCOMPARE(ConnectionSettings->connectionParams(), before);
    QVERIFY(m_main->calls.isEmpty());
    QVERIFY(!m_main->db.connected());
}

void TestConnectionProfile::loadFillsProfileAndConnects()
{
    ConnectionProfile stored = defaults();
    stored.password.clear();
    stored.dbFilePath = m_library->path();
    ConnectionProfileFile::write(profilePath(), stored);

    LoadConnectionProfile();

    // The empty password takes its row away; the rest keep their places.
    QCOMPARE(ConnectionSettings->connectionParams(), QStringList({"user_name=SYSDBA", "lc_ctype=WIN1251"}));
    QCOMPARE(ConnectionSettings->generalValue(ProfileKey::dbFilePath), m_library->path());
    QCOMPARE(m_main->calls, QStringList{"ConnectDatabase"});
    QVERIFY(m_main->db.connected());
    QCOMPARE(m_main->db.databaseName(), m_library->path());

    // The missing password goes back to the file as an empty field.
    SaveConnectionProfile();
    QVERIFY(ConnectionProfileFile::read(profilePath()) == stored);
}

void TestConnectionProfile::loadOfBrokenFileChangesNothing()
{
    writeBytes(profilePath(), QByteArray(100, '\x05'));
    const QStringList before = ConnectionSettings->connectionParams();
    QVERIFY_THROWS_EXCEPTION(FileError, LoadConnectionProfile());
    QCOMPARE(ConnectionSettings->connectionParams(), before);
    QCOMPARE(ConnectionSettings->generalValue(ProfileKey::dbFilePath), QStringLiteral("LIBRARY.GDB"));
    QVERIFY(m_main->calls.isEmpty());
}

void TestConnectionProfile::saveKeepsEditsMadeBeforeCancel()
{
    ConnectionSettings->show();
    QVERIFY(QTest::qWaitForWindowExposed(ConnectionSettings));
    QTableWidget *list = ConnectionSettings->LstParams();
    list->setCurrentCell(1, 1);
    QTest::keyClick(list, Qt::Key_F2);
    auto *editor = list->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("n3w-pass"));
    QTest::mouseClick(ConnectionSettings->findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
    QVERIFY(!ConnectionSettings->isVisible());

    ConnectionSettings->setParamValue(ProfileKey::lcCtype, QString(), TConnectionSettings::SetRule::OrRemove);
    ConnectionSettings->setGeneralValue(ProfileKey::dbFilePath, QString(256, QLatin1Char('p')),
                                        TConnectionSettings::SetRule::OrInsert);
    SaveConnectionProfile();

    const ConnectionProfile saved = ConnectionProfileFile::read(profilePath());
    QCOMPARE(saved.password, QStringLiteral("n3w-pass"));
    QVERIFY(saved.lcCtype.isEmpty());
    QCOMPARE(saved.dbFilePath, QString(255, QLatin1Char('p')));
    QCOMPARE(ConnectionSettings->paramValue(ProfileKey::password), QStringLiteral("n3w-pass"));
}

void TestConnectionProfile::applyRefusesMissingFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("empty box") << QString();
    QTest::newRow("missing file") << QStringLiteral("/nowhere/LIBRARY.GDB");
    QTest::newRow("a directory") << QDir::tempPath();
}

void TestConnectionProfile::applyRefusesMissingFile()
{
    QFETCH(QString, path);
    ConnectionSettings->show();
    QVERIFY(QTest::qWaitForWindowExposed(ConnectionSettings));
    ConnectionSettings->DbFilePath()->setText(path);
    ConnectionSettings->findChild<QPushButton *>(QStringLiteral("Button2"))->setFocus();
    QTest::mouseClick(ConnectionSettings->findChild<QPushButton *>(QStringLiteral("Button2")), Qt::LeftButton);

    QCOMPARE(ConnectionSettings->focusWidget(), ConnectionSettings->DbFilePath());
    QVERIFY(ConnectionSettings->isVisible());
    QVERIFY(m_main->calls.isEmpty());
    QVERIFY(UserPrompts::shownMessages().isEmpty());
    QCOMPARE(ConnectionSettings->generalValue(ProfileKey::dbFilePath), QStringLiteral("LIBRARY.GDB"));
}

void TestConnectionProfile::applyConnectsAndCloses()
{
    ConnectionSettings->show();
    ConnectionSettings->DbFilePath()->setText(m_library->path());
    // Enter in the path box presses the default button.
    QTest::keyClick(ConnectionSettings->DbFilePath(), Qt::Key_Return);

    QCOMPARE(m_main->calls, QStringList({"ConnectDatabase", "RefreshBooks"}));
    QCOMPARE(ConnectionSettings->generalValue(ProfileKey::dbFilePath), m_library->path());
    QVERIFY(m_main->db.connected());
    QVERIFY(!ConnectionSettings->isVisible());
    QVERIFY(UserPrompts::shownMessages().isEmpty());
    // The profile reaches the file only when the program closes.
    QVERIFY(!QFile::exists(profilePath()));
}

void TestConnectionProfile::applyReportsFailedConnection()
{
    const QString broken = m_base->filePath(QStringLiteral("broken.gdb"));
    writeBytes(broken, QByteArray(4096, 'x'));
    m_main->db.setDatabaseName(broken);
    ConnectionSettings->show();
    ConnectionSettings->DbFilePath()->setText(broken);
    ConnectionSettings->Button2Click();

    QCOMPARE(m_main->calls, QStringList({"ConnectDatabase", "RefreshBooks"}));
    QCOMPARE(UserPrompts::shownMessages(), QStringList{"Error while connecting...\nОшибка при подключении!"});
    QVERIFY(ConnectionSettings->isVisible());
    QVERIFY(EventConsole::lines().last().contains(QStringLiteral("Connecting to database: error!")));
}

void TestConnectionProfile::statusFollowsConnectionAndProfile()
{
    auto *trigger = ConnectionSettings->findChild<ClickableLabel *>(QStringLiteral("ConnectionTrigger"));
    auto *box = ConnectionSettings->findChild<QCheckBox *>(QStringLiteral("LoginPromtCk"));
    auto *current = ConnectionSettings->findChild<ClickableLabel *>(QStringLiteral("CurrentDbPathLb"));
    m_library->configure(m_main->db);

    // The timer runs while the window is hidden.
    QTRY_COMPARE_WITH_TIMEOUT(current->text(), m_library->path(), 2000);
    QCOMPARE(trigger->text(), QStringLiteral("connect"));
    m_main->db.open();
    QTRY_COMPARE_WITH_TIMEOUT(trigger->text(), QStringLiteral("disconnect"), 2000);

    using Rule = TConnectionSettings::SetRule;
    ConnectionSettings->setGeneralValue(ProfileKey::loginPrompt, QStringLiteral("1"), Rule::OrInsert);
    QTRY_VERIFY_WITH_TIMEOUT(box->isChecked(), 2000);
    ConnectionSettings->setGeneralValue(ProfileKey::loginPrompt, QStringLiteral("yes"), Rule::OrInsert);
    ConnectionSettings->StatusUpdateTimerTimer();
    QVERIFY(box->isChecked());
    ConnectionSettings->setGeneralValue(ProfileKey::loginPrompt, QStringLiteral("0"), Rule::OrInsert);
    ConnectionSettings->StatusUpdateTimerTimer();
    QVERIFY(!box->isChecked());
    // Set by the timer, not clicked: the connection stays.
    QVERIFY(m_main->calls.isEmpty());
    QVERIFY(m_main->db.connected());
}

void TestConnectionProfile::userClicksOnLinksAndBox()
{
    ConnectionSettings->setGeneralValue(ProfileKey::dbFilePath, m_library->path(),
                                        TConnectionSettings::SetRule::OrInsert);
    ConnectionSettings->show();
    QVERIFY(QTest::qWaitForWindowExposed(ConnectionSettings));
    auto *trigger = ConnectionSettings->findChild<ClickableLabel *>(QStringLiteral("ConnectionTrigger"));
    auto *box = ConnectionSettings->findChild<QCheckBox *>(QStringLiteral("LoginPromtCk"));
    auto *current = ConnectionSettings->findChild<ClickableLabel *>(QStringLiteral("CurrentDbPathLb"));

    QTest::mouseClick(trigger, Qt::LeftButton);
    QVERIFY(m_main->db.connected());
    QTest::mouseClick(trigger, Qt::LeftButton);
    QVERIFY(!m_main->db.connected());
    QCOMPARE(m_main->calls, QStringList({"ConnectDatabase", "DisconnectDatabase"}));

    m_main->calls.clear();
    QStyleOptionButton option;
    option.initFrom(box);
    const QPoint indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).center();
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator);
    QCOMPARE(ConnectionSettings->generalValue(ProfileKey::loginPrompt), QStringLiteral("1"));
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator);
    QCOMPARE(ConnectionSettings->generalValue(ProfileKey::loginPrompt), QStringLiteral("0"));
    QCOMPARE(m_main->calls, QStringList({"DisconnectDatabase", "DisconnectDatabase"}));

    ConnectionSettings->StatusUpdateTimerTimer();
    QTest::mouseClick(current, Qt::LeftButton);
    QVERIFY(EventConsole::lines().last().endsWith(m_library->path() + QLatin1Char(';')));
    QTest::mouseMove(current);
    QTRY_COMPARE(current->toolTip(), m_library->path());
}

void TestConnectionProfile::fileButtonKeepsLastChoice()
{
    auto *button = ConnectionSettings->findChild<QPushButton *>(QStringLiteral("Button3"));
    ConnectionSettings->show();
    UserPrompts::setNextFileName(m_library->path());
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(ConnectionSettings->DbFilePath()->text(), m_library->path());

    ConnectionSettings->DbFilePath()->clear();
    UserPrompts::setNextFileName(QString()); // cancelled
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(ConnectionSettings->DbFilePath()->text(), m_library->path());
    QVERIFY(m_main->calls.isEmpty());
}

void TestConnectionProfile::mainWindowConnectsWithProfile()
{
    const QString previousDir = QDir::currentPath();
    QDir::setCurrent(m_base->path());
    auto restoreDir = qScopeGuard([&] { QDir::setCurrent(previousDir); });
    auto main = std::make_unique<TMainF>();

    ConnectionProfile stored = defaults();
    stored.dbFilePath = m_library->path();
    ConnectionProfileFile::write(profilePath(), stored);
    LoadConnectionProfile();

    QVERIFY(main->IBDatabase1()->connected());
    QCOMPARE(main->IBDatabase1()->databaseName(), m_library->path());
    QVERIFY(main->windowTitle().endsWith(QStringLiteral(" - ") + m_library->path()));
    QVERIFY(EventConsole::lines().last().contains(QStringLiteral("Connected to: ") + m_library->path()));

    // Apply switches the main window to another library and shows its books.
    TestLibrary other;
    ConnectionSettings->show();
    ConnectionSettings->DbFilePath()->setText(other.path());
    ConnectionSettings->Button2Click();
    QCOMPARE(main->IBDatabase1()->databaseName(), other.path());
    QVERIFY(main->IBQuery1()->active());
    QVERIFY(!ConnectionSettings->isVisible());
    QVERIFY(UserPrompts::shownMessages().isEmpty());
    ConnectionSettings->StatusUpdateTimerTimer();
    QCOMPARE(ConnectionSettings->findChild<QLabel *>(QStringLiteral("CurrentDbPathLb"))->text(), other.path());
    main->IBDatabase1()->close();
}

void TestConnectionProfile::loginDialogFields()
{
    LoginDialog dialog(QStringLiteral("/data/LIBRARY.GDB"), QStringLiteral("SYSDBA"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Database Login"));
    QVERIFY(dialog.isModal());
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("DatabaseName"))->text(), QStringLiteral("/data/LIBRARY.GDB"));
    QStringList captions;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        captions << label->text();
    QVERIFY(captions.contains(QStringLiteral("Database:")));
    QVERIFY(captions.contains(QStringLiteral("&User Name:")));
    QVERIFY(captions.contains(QStringLiteral("&Password:")));
    QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("OKButton"))->text(), QStringLiteral("&OK"));
    QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("CancelButton"))->text(), QStringLiteral("Cancel"));

    QCOMPARE(dialog.userNameEdit()->text(), QStringLiteral("SYSDBA"));
    QVERIFY(dialog.passwordEdit()->text().isEmpty());
    QCOMPARE(dialog.passwordEdit()->echoMode(), QLineEdit::Password);
    QCOMPARE(dialog.focusWidget(), dialog.passwordEdit());

    const QString forty(40, QLatin1Char('w'));
    QTest::keyClicks(dialog.passwordEdit(), forty);
    QCOMPARE(dialog.password(), QString(31, QLatin1Char('w')));
    dialog.userNameEdit()->clear();
    QTest::keyClicks(dialog.userNameEdit(), forty);
    QCOMPARE(dialog.userName(), QString(31, QLatin1Char('w')));

    LoginDialog noUser(QStringLiteral("LIBRARY.GDB"), QString());
    noUser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&noUser));
    QCOMPARE(noUser.focusWidget(), noUser.userNameEdit());
}

void TestConnectionProfile::loginDialogKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << int(QDialog::Accepted);
    QTest::newRow("Alt+O") << int(Qt::Key_O) << int(Qt::AltModifier) << int(QDialog::Accepted);
    QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier) << int(QDialog::Rejected);
}

void TestConnectionProfile::loginDialogKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, result);
    LoginDialog dialog(QStringLiteral("LIBRARY.GDB"), QStringLiteral("SYSDBA"));
    QTimer::singleShot(0, &dialog, [&] {
        // The mnemonic reaches only the active window.
        if (!QTest::qWaitForWindowActive(&dialog))
            return dialog.done(-1);
        QTest::keyClicks(dialog.passwordEdit(), QStringLiteral("s3cret"));
        QTest::keyClick(dialog.focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    });
    QCOMPARE(dialog.exec(), result);
    QCOMPARE(dialog.password(), QStringLiteral("s3cret"));
}

void TestConnectionProfile::connectWithLoginPrompt_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("OK") << true;
    QTest::newRow("Cancel") << false;
}

void TestConnectionProfile::connectWithLoginPrompt()
{
    QFETCH(bool, accept);
    installLoginDialog();
    using Rule = TConnectionSettings::SetRule;
    ConnectionSettings->setGeneralValue(ProfileKey::dbFilePath, m_library->path(), Rule::OrInsert);
    ConnectionSettings->setGeneralValue(ProfileKey::loginPrompt, QStringLiteral("1"), Rule::OrInsert);
    ConnectionSettings->setParamValue(ProfileKey::password, QString(), Rule::OrRemove);

    QString shownDatabase;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<LoginDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        shownDatabase = dialog->findChild<QLabel *>(QStringLiteral("DatabaseName"))->text();
        QCOMPARE(dialog->userName(), QStringLiteral("SYSDBA"));
        QTest::keyClicks(dialog->passwordEdit(), QStringLiteral("quietlamp"));
        QTest::keyClick(dialog->passwordEdit(), accept ? Qt::Key_Return : Qt::Key_Escape);
    });
    m_main->ConnectDatabase();

    QCOMPARE(shownDatabase, m_library->path());
    QCOMPARE(m_main->db.connected(), accept);
    QCOMPARE(EventConsole::lines().last().contains(QStringLiteral("Connecting to database: error!")), !accept);
    // What was typed serves this connection only.
    QVERIFY(ConnectionSettings->paramValue(ProfileKey::password).isEmpty());
}

QTEST_MAIN(TestConnectionProfile)
#include "tst_connection_profile.moc"
