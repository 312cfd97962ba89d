#include "ConnectionSettings.h"
#include "ui_ConnectionSettings.h"

#include "AppState.h"
#include "ConnectionProfileFile.h"
#include "DatabaseFileDialog.h"
#include "EventConsole.h"
#include "FbDatabase.h"
#include "FileError.h"
#include "LangStr.h"
#include "StyleIcon.h"
#include "TextCodec.h"
#include "UserPrompts.h"

#include <QFileInfo>
#include <QStyle>
#include <QStyledItemDelegate>

#include <cerrno>
#include <cstdio>
#include <cstring>

TConnectionSettings *ConnectionSettings = nullptr;

namespace
{
const QString kProfileFileName = QStringLiteral(".dbconnection");
const QString kConnectErrorText = QStringLiteral("Error while connecting...\nОшибка при подключении!");
const QString kConnectText = QStringLiteral("connect");
const QString kDisconnectText = QStringLiteral("disconnect");

struct Pair {
    const QString &key;
    const char *value;
};
const Pair kInitialParams[] = {
    {ProfileKey::userName, "SYSDBA"},
    {ProfileKey::password, "quietlamp"},
    {ProfileKey::lcCtype, "WIN1251"},
};
const Pair kInitialGeneral[] = {
    {ProfileKey::dbFilePath, "LIBRARY.GDB"},
    {ProfileKey::loginPrompt, "0"},
};

int rowOf(const QTableWidget *list, const QString &key)
{
    for (int row = 0; row < list->rowCount(); ++row) {
        const QTableWidgetItem *item = list->item(row, 0);
        if (item && item->text().compare(key, Qt::CaseInsensitive) == 0)
            return row;
    }
    return -1;
}

QString valueOf(const QTableWidget *list, int row)
{
    const QTableWidgetItem *item = list->item(row, 1);
    return item ? item->text() : QString();
}

QString valueOf(const QTableWidget *list, const QString &key)
{
    const int row = rowOf(list, key);
    return row < 0 ? QString() : valueOf(list, row);
}

void setValue(QTableWidget *list, const QString &key, const QString &value, TConnectionSettings::SetRule rule)
{
    int row = rowOf(list, key);
    if (value.isEmpty() && rule == TConnectionSettings::SetRule::OrRemove) {
        if (row >= 0)
            list->removeRow(row);
        return;
    }
    if (row < 0) {
        row = list->rowCount();
        list->insertRow(row);
        auto *keyItem = new QTableWidgetItem(key);
        keyItem->setFlags(keyItem->flags() & ~Qt::ItemIsEditable);
        list->setItem(row, 0, keyItem);
    }
    if (QTableWidgetItem *item = list->item(row, 1))
        item->setText(value);
    else
        list->setItem(row, 1, new QTableWidgetItem(value));
}

QString profilePath()
{
    return AppState::baseDirectory() + kProfileFileName;
}

// Set when the profile file was there but could not be read: it is kept, not overwritten.
bool g_profileUnreadable = false;

// A profile file that was there but could not be read is moved to .dbconnection.bak (and that
// is said on the console) before a new one is written in its place.
void keepUnreadableProfile()
{
    const QString path = profilePath();
    if (!g_profileUnreadable || !QFileInfo(path).exists())
        return;
    // The user's old profile may still be worth something to them; it moves aside, never lost.
    const QString kept = path + QStringLiteral(".bak");
    QFile::remove(kept);
    if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(kept).constData()) != 0)
        throw FileError(
            QStringLiteral("Cannot keep %1 as %2: %3").arg(path, kept, QString::fromLocal8Bit(std::strerror(errno))));
    g_profileUnreadable = false;
    LogEvent(LangStr(QStringLiteral("cprofilebad")));
}

// The profile file stores Windows-1251 only; a character it cannot hold would come back as "?"
// and spoil the next login. Says so and returns true for such text.
bool refusedForProfile(const QString &text)
{
    const qsizetype bad = ConnectionCharset::fromLcCtype(QStringLiteral("WIN1251")).firstUnencodable(text);
    if (bad < 0)
        return false;
    const qsizetype length = text.at(bad).isHighSurrogate() ? 2 : 1;
    UserPrompts::message(UserPrompts::Kind::Warning,
                         LangStr(QStringLiteral("eprofilechar")).arg(text.mid(bad, length)));
    return true;
}

// Values of LstParams are taken only when the profile file can keep them.
class ProfileValueDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        if (auto *edit = qobject_cast<QLineEdit *>(editor); edit && refusedForProfile(edit->text()))
            return;
        QStyledItemDelegate::setModelData(editor, model, index);
    }
};
} // namespace

TConnectionSettings::TConnectionSettings(QWidget *parent)
    : DialogBase(parent, Fade::Yes), ui(std::make_unique<Ui::TConnectionSettings>())
{
    ConnectionSettings = this;
    ui->setupUi(this);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(false);
    setThemedWidgets({ui->Label5, ui->Panel1, ui->GroupBox1, ui->GroupBox2});

    showStandardPixmapWhenShown(ui->Image1, QStyle::SP_TitleBarCloseButton, 16);
    ui->ConnectionTrigger->setTextColor(Qt::blue);
    for (const Pair &pair : kInitialParams)
        setParamValue(pair.key, QString::fromLatin1(pair.value), SetRule::OrInsert);
    for (const Pair &pair : kInitialGeneral)
        setGeneralValue(pair.key, QString::fromLatin1(pair.value), SetRule::OrInsert);
    ui->LstParams->resizeColumnToContents(0);
    ui->LstParams->setItemDelegateForColumn(1, new ProfileValueDelegate(ui->LstParams));
    applyLanguage();

    connect(ui->ConnectionTrigger, &ClickableLabel::clicked, this, &TConnectionSettings::ConnectionTriggerClick);
    connect(ui->LoginPromtCk, &QCheckBox::clicked, this, &TConnectionSettings::LoginPromtCkClick);
    connect(ui->Button3, &QPushButton::clicked, this, &TConnectionSettings::Button3Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TConnectionSettings::Button2Click);
    connect(ui->Button1, &QPushButton::clicked, this, &TConnectionSettings::Button1Click);
    connect(ui->Image1, &ClickableLabel::clicked, this, &TConnectionSettings::Image1Click);
    connect(ui->CurrentDbPathLb, &ClickableLabel::clicked, this, &TConnectionSettings::CurrentDbPathLbClick);
    connect(ui->CurrentDbPathLb, &ClickableLabel::mouseEntered, this, &TConnectionSettings::CurrentDbPathLbMouseEnter);

    // Runs for the whole program, shown or not: the status is always current when the window opens.
    StatusUpdateTimer.setInterval(kStatusIntervalMs);
    connect(&StatusUpdateTimer, &QTimer::timeout, this, &TConnectionSettings::StatusUpdateTimerTimer);
    StatusUpdateTimer.start();
}

TConnectionSettings::~TConnectionSettings()
{
    if (ConnectionSettings == this)
        ConnectionSettings = nullptr;
}

QStringList TConnectionSettings::connectionParams() const
{
    QStringList lines;
    for (int row = 0; row < ui->LstParams->rowCount(); ++row) {
        const QTableWidgetItem *key = ui->LstParams->item(row, 0);
        lines << (key ? key->text() : QString()) + QLatin1Char('=') + valueOf(ui->LstParams, row);
    }
    return lines;
}

QString TConnectionSettings::paramValue(const QString &key) const
{
    return valueOf(ui->LstParams, key);
}

void TConnectionSettings::setParamValue(const QString &key, const QString &value, SetRule rule)
{
    setValue(ui->LstParams, key, value, rule);
}

QString TConnectionSettings::generalValue(const QString &key) const
{
    return valueOf(ui->LstGenaralSettings, key);
}

void TConnectionSettings::setGeneralValue(const QString &key, const QString &value, SetRule rule)
{
    setValue(ui->LstGenaralSettings, key, value, rule);
}

QLineEdit *TConnectionSettings::DbFilePath() const
{
    return ui->DbFilePath;
}

QTableWidget *TConnectionSettings::LstParams() const
{
    return ui->LstParams;
}

QTableWidget *TConnectionSettings::LstGenaralSettings() const
{
    return ui->LstGenaralSettings;
}

void TConnectionSettings::applyLanguage()
{
    const QString title = LangStr(QStringLiteral("lcnsets"));
    setWindowTitle(title);
    ui->Label5->setText(title);
    ui->Button1->setText(LangStr(QStringLiteral("lcancel")));
    ui->Button2->setText(LangStr(QStringLiteral("wapply")));
    ui->GroupBox1->setTitle(LangStr(QStringLiteral("lcnpar")));
    ui->GroupBox2->setTitle(LangStr(QStringLiteral("lcngenopt")));
    ui->Label3->setText(LangStr(QStringLiteral("lcnlogin")));
    ui->Label1->setText(LangStr(QStringLiteral("lcncon")));
    ui->Label2->setText(LangStr(QStringLiteral("lcndbpath")));
    ui->Label4->setText(LangStr(QStringLiteral("lcncurdb")));
    ui->LstParams->setHorizontalHeaderLabels({LangStr(QStringLiteral("lcnparr")), LangStr(QStringLiteral("lcnval"))});
}

void TConnectionSettings::StatusUpdateTimerTimer()
{
    MainWindowApi *api = mainApi();
    const FbDatabase *db = api ? api->IBDatabase1() : nullptr;
    if (!db)
        return;
    ui->ConnectionTrigger->setText(db->connected() ? kDisconnectText : kConnectText);
    // setChecked does not emit clicked(), so this is not taken for the user's click.
    const QString prompt = generalValue(ProfileKey::loginPrompt);
    if (prompt == QLatin1String("0"))
        ui->LoginPromtCk->setChecked(false);
    else if (prompt == QLatin1String("1"))
        ui->LoginPromtCk->setChecked(true);
    ui->CurrentDbPathLb->setText(db->databaseName());
}

void TConnectionSettings::ConnectionTriggerClick()
{
    runGuarded([] {
        MainWindowApi *api = mainApi();
        if (!api)
            return;
        if (api->IBDatabase1() && api->IBDatabase1()->connected())
            api->DisconnectDatabase();
        else
            api->ConnectDatabase();
    });
}

void TConnectionSettings::LoginPromtCkClick(bool checked)
{
    runGuarded([this, checked] {
        if (MainWindowApi *api = mainApi())
            api->DisconnectDatabase();
        setGeneralValue(ProfileKey::loginPrompt, checked ? QStringLiteral("1") : QStringLiteral("0"),
                        SetRule::OrInsert);
    });
}

void TConnectionSettings::Button3Click()
{
    ui->DbFilePath->setText(DatabaseFileDialog::choose(this));
}

void TConnectionSettings::Button2Click()
{
    const QString path = ui->DbFilePath->text();
    if (!FbDatabase::isServerPath(path) && !QFileInfo(path).isFile()) {
        ui->DbFilePath->setFocus();
        return;
    }
    if (refusedForProfile(path)) {
        ui->DbFilePath->setFocus();
        return;
    }
    setGeneralValue(ProfileKey::dbFilePath, path, SetRule::OrInsert);
    MainWindowApi *api = mainApi();
    if (!api)
        return;
    try {
        api->ConnectDatabase();
        api->RefreshBooks();
        close();
    } catch (const std::exception &) {
        // ConnectDatabase has logged the failure; the book list that cannot open is what lands here.
        UserPrompts::message(UserPrompts::Kind::Information, kConnectErrorText);
    }
}

void TConnectionSettings::Button1Click()
{
    close();
}

void TConnectionSettings::Image1Click()
{
    close();
}

void TConnectionSettings::CurrentDbPathLbClick()
{
    LogEvent(ui->CurrentDbPathLb->text());
}

void TConnectionSettings::CurrentDbPathLbMouseEnter()
{
    ui->CurrentDbPathLb->setToolTip(ui->CurrentDbPathLb->text());
}

void TConnectionSettings::showEvent(QShowEvent *event)
{
    if (auto *mainWindow = dynamic_cast<QWidget *>(mainApi()))
        move(mainWindow->frameGeometry().center() - rect().center());
    DialogBase::showEvent(event);
}

void LoadConnectionProfile()
{
    const QString path = profilePath();
    g_profileUnreadable = false;
    if (!ConnectionSettings || !QFileInfo::exists(path))
        return;
    ConnectionProfile profile;
    try {
        profile = ConnectionProfileFile::read(path);
    } catch (const FileError &) {
        g_profileUnreadable = true;
        throw;
    }
    using Rule = TConnectionSettings::SetRule;
    ConnectionSettings->setParamValue(ProfileKey::lcCtype, profile.lcCtype, Rule::OrRemove);
    ConnectionSettings->setParamValue(ProfileKey::userName, profile.userName, Rule::OrRemove);
    ConnectionSettings->setParamValue(ProfileKey::password, profile.password, Rule::OrRemove);
    ConnectionSettings->setGeneralValue(ProfileKey::dbFilePath, profile.dbFilePath, Rule::OrRemove);
    ConnectionSettings->setGeneralValue(ProfileKey::loginPrompt, profile.loginPrompt, Rule::OrRemove);
    if (MainWindowApi *api = mainApi())
        api->ConnectDatabase();
}

void SaveConnectionProfile()
{
    if (!ConnectionSettings)
        return;
    ConnectionProfile profile;
    profile.lcCtype = ConnectionSettings->paramValue(ProfileKey::lcCtype);
    profile.userName = ConnectionSettings->paramValue(ProfileKey::userName);
    profile.password = ConnectionSettings->paramValue(ProfileKey::password);
    profile.dbFilePath = ConnectionSettings->generalValue(ProfileKey::dbFilePath);
    profile.loginPrompt = ConnectionSettings->generalValue(ProfileKey::loginPrompt);
    keepUnreadableProfile();
    ConnectionProfileFile::write(profilePath(), profile);
}
