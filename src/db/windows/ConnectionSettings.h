#pragma once

#include "DialogBase.h"

#include <QStringList>
#include <QTimer>
#include <memory>

class QLineEdit;
class QTableWidget;

namespace Ui
{
class TConnectionSettings;
}

// Shows and edits the connection profile, connects and disconnects on demand, and shows the
// database in use. Created once at start-up; its two lists are the profile for the whole run.
class TConnectionSettings : public DialogBase
{
    Q_OBJECT
public:
    // How a value reaches a profile list; the two differ only for an empty value.
    enum class SetRule {
        OrRemove, // empty removes the key's row
        OrInsert, // empty is stored as it is
    };

    static constexpr int kStatusIntervalMs = 800;

    explicit TConnectionSettings(QWidget *parent = nullptr);
    ~TConnectionSettings() override;

    // Lines key=value of LstParams, in row order: what the connection is opened with.
    QStringList connectionParams() const;
    QString paramValue(const QString &key) const;
    void setParamValue(const QString &key, const QString &value, SetRule rule);
    // db_file_path and login_promt of LstGenaralSettings; empty for a missing key.
    QString generalValue(const QString &key) const;
    void setGeneralValue(const QString &key, const QString &value, SetRule rule);

    QLineEdit *DbFilePath() const;
    QTableWidget *LstParams() const;
    QTableWidget *LstGenaralSettings() const;

    // Texts of the interface language.
    void applyLanguage();

public slots:
    void StatusUpdateTimerTimer();
    void ConnectionTriggerClick();
    void LoginPromtCkClick(bool checked);
    void Button3Click();
    void Button2Click();
    void Button1Click();
    void Image1Click();
    void CurrentDbPathLbClick();
    void CurrentDbPathLbMouseEnter();

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::TConnectionSettings> ui;
    QTimer StatusUpdateTimer;
};

extern TConnectionSettings *ConnectionSettings;

// .dbconnection of the base directory from and to the profile of ConnectionSettings.
// Loading without the file does nothing; with it, it fills the profile and connects.
// Both throw FileError when the file cannot be read or written; a file that could not be read is
// kept as .dbconnection.bak when the profile is saved.
void LoadConnectionProfile();
void SaveConnectionProfile();

// Profile keys.
namespace ProfileKey
{
inline const QString userName = QStringLiteral("user_name");
inline const QString password = QStringLiteral("password");
inline const QString lcCtype = QStringLiteral("lc_ctype");
inline const QString dbFilePath = QStringLiteral("db_file_path");
inline const QString loginPrompt = QStringLiteral("login_promt");
} // namespace ProfileKey
