#include "SettingsList.h"

#include "FileError.h"
#include "SafeFile.h"
#include "TextCodec.h"

#include <QFile>

namespace {
qsizetype lineOf(const QStringList &lines, const QString &key)
{
    const QString prefix = key + QLatin1Char('=');
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith(prefix))
            return i;
    return -1;
}
} // namespace

QString SettingsList::value(const QString &key) const
{
    const qsizetype i = lineOf(m_lines, key);
    return i < 0 ? QString() : m_lines[i].mid(key.size() + 1);
}

bool SettingsList::contains(const QString &key) const
{
    return lineOf(m_lines, key) >= 0;
}

void SettingsList::setValue(const QString &key, const QString &value)
{
    const qsizetype i = lineOf(m_lines, key);
    const QString line = key + QLatin1Char('=') + value;
    if (i < 0)
        m_lines.append(line);
    else
        m_lines[i] = line;
}

QStringList SettingsList::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    QString text = Win1251::decode(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void SettingsList::writeFile(const QString &path, const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += Win1251::encode(line) + "\r\n";
    SafeFile::write(path, bytes);
}

SettingsList &settingsList()
{
    static SettingsList list;
    return list;
}
