#include "SettingsFiles.h"

#include "FileError.h"
#include "SafeFile.h"

#include <QFile>

namespace SettingsFiles
{

namespace
{
constexpr int ThemeSize = 4;
const char *const LanguageCodes[] = {"en", "ru", "ua"};
} // namespace

QStringList DefList()
{
    return {
        QStringLiteral("Showtime=1"),     QStringLiteral("Showconsole=1"),       QStringLiteral("Language=en"),
        QStringLiteral("Autolog=1"),      QStringLiteral("Hideleftframe=0"),     QStringLiteral("Transparency=255"),
        QStringLiteral("Showbookstab=0"), QStringLiteral("Showgivenbookstab=0"), QStringLiteral("Showinfotab=0"),
        QStringLiteral("Showsqltab=0"),   QStringLiteral("Tabsontop=0"),         QStringLiteral("Deftab=books"),
    };
}

QStringList builtInList()
{
    return {QStringLiteral("Showtime=1"), QStringLiteral("Showconsole=1"), QStringLiteral("Language=ru"),
            QStringLiteral("Autolog=1")};
}

std::optional<bool> flagValue(const QString &text)
{
    if (text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("0"))
        return false;
    return std::nullopt;
}

QString flagText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

int languageIndex(const QString &code)
{
    for (int i = 0; i < 3; ++i)
        if (code == QLatin1String(LanguageCodes[i]))
            return i;
    return -1;
}

QString languageCode(int index)
{
    return index >= 0 && index < 3 ? QString::fromLatin1(LanguageCodes[index]) : QString();
}

std::optional<int> transparencyValue(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        return std::nullopt;
    return qBound(MinTransparency, value, MaxTransparency);
}

int pageIndex(const QString &text)
{
    if (text.size() == 1 && text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('3'))
        return text[0].unicode() - '0';
    return -1;
}

QColor defaultThemeColor()
{
    return QColor(255, 255, 255);
}

QByteArray themeBytes(const QColor &color)
{
    QByteArray bytes(ThemeSize, '\0');
    bytes[0] = static_cast<char>(color.red());
    bytes[1] = static_cast<char>(color.green());
    bytes[2] = static_cast<char>(color.blue());
    return bytes;
}

QColor themeFromBytes(const QByteArray &bytes)
{
    if (bytes.size() < ThemeSize)
        throw FileError(QStringLiteral("The theme holds %1 of %2 bytes.").arg(bytes.size()).arg(ThemeSize));
    // The highest byte is always 0 in files the program writes; it carries no colour.
    return QColor(static_cast<unsigned char>(bytes[0]), static_cast<unsigned char>(bytes[1]),
                  static_cast<unsigned char>(bytes[2]));
}

QColor readTheme(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    return themeFromBytes(file.read(ThemeSize));
}

void writeTheme(const QString &path, const QColor &color)
{
    SafeFile::write(path, themeBytes(color));
}

} // namespace SettingsFiles
