#pragma once

#include <QString>
#include <QStringList>

// The program's settings store: lines of key, "=", value, in file order.
class SettingsList
{
public:
    QStringList lines() const { return m_lines; }
    void setLines(const QStringList &lines) { m_lines = lines; }
    // The value of key, or empty when the store has no such line.
    QString value(const QString &key) const;
    bool contains(const QString &key) const;
    // Sets the value of the key's line, or appends a line when there is none.
    void setValue(const QString &key, const QString &value);

    // .settings: Windows-1251, each line ended by CR LF. Both throw FileError.
    static QStringList readFile(const QString &path);
    static void writeFile(const QString &path, const QStringList &lines);

private:
    QStringList m_lines;
};

// The one store of the running program (the settings window's List).
SettingsList &settingsList();
