#pragma once

#include <QByteArray>
#include <QColor>
#include <QLatin1String>
#include <QString>
#include <QStringList>
#include <optional>

// The user's preferences on disk: the keys and defaults of .settings (whose lines SettingsList
// reads and writes) and the 4-byte colour of .theme. Nothing here knows a widget.
namespace SettingsFiles
{

inline constexpr QLatin1String SettingsFileName(".settings");
inline constexpr QLatin1String ThemeFileName(".theme");

namespace Key
{
inline constexpr QLatin1String Showtime("Showtime");
inline constexpr QLatin1String Showconsole("Showconsole");
inline constexpr QLatin1String Language("Language");
inline constexpr QLatin1String Autolog("Autolog");
inline constexpr QLatin1String Hideleftframe("Hideleftframe");
inline constexpr QLatin1String Transparency("Transparency");
inline constexpr QLatin1String Showbookstab("Showbookstab");
inline constexpr QLatin1String Showgivenbookstab("Showgivenbookstab");
inline constexpr QLatin1String Showinfotab("Showinfotab");
inline constexpr QLatin1String Showsqltab("Showsqltab");
inline constexpr QLatin1String Tabsontop("Tabsontop");
inline constexpr QLatin1String Deftab("Deftab");
} // namespace Key

inline constexpr int MinTransparency = 30;
inline constexpr int MaxTransparency = 255;

// The twelve default lines, in file order.
QStringList DefList();
// What the store holds before any file has been read.
QStringList builtInList();

// "1" / "0"; anything else has no value.
std::optional<bool> flagValue(const QString &text);
QString flagText(bool on);
// Index in the language list of "en", "ru", "ua"; -1 for anything else.
int languageIndex(const QString &code);
// "en", "ru", "ua" for 0, 1, 2; empty for anything else.
QString languageCode(int index);
// A whole number, brought into 30..255; no value when the text is not a whole number.
std::optional<int> transparencyValue(const QString &text);
// "0".."3" as a page index; -1 for anything else (the default "books" included).
int pageIndex(const QString &text);

// .theme: red in the lowest byte, then green, then blue, the highest byte 0.
QColor defaultThemeColor();
QByteArray themeBytes(const QColor &color);
// Throws FileError when fewer than 4 bytes are given.
QColor themeFromBytes(const QByteArray &bytes);
// Both throw FileError: a missing, unreadable or short file, or a file that cannot be written.
QColor readTheme(const QString &path);
void writeTheme(const QString &path, const QColor &color);

} // namespace SettingsFiles
