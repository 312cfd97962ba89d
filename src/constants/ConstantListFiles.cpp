#include "ConstantListFiles.h"

#include "FileError.h"
#include "SafeFile.h"
#include "TextCodec.h"

#include <QCollator>
#include <QFile>
#include <QLocale>
#include <algorithm>

namespace ConstantListFiles
{

namespace
{

const Field kFields[FieldCount] = {
    {QLatin1String("Author"), QLatin1String(".authorconst"), 35, QLatin1String("select author from book"),
     QLatin1String("author")},
    {QLatin1String("Year"), QLatin1String(".yearconst"), 4, QLatin1String("select iyear from book"),
     QLatin1String("iyear")},
    {QLatin1String("Seria"), QLatin1String(".seriaconst"), 35, QLatin1String("select seria from book"),
     QLatin1String("seria")},
    {QLatin1String("Publisher"), QLatin1String(".publisherconst"), 35, QLatin1String("select publisher from book"),
     QLatin1String("publisher")},
    {QLatin1String("Place"), QLatin1String(".placeconst"), 50, QLatin1String("select place from book"),
     QLatin1String("place")},
    {QLatin1String("Genre"), QLatin1String(".genreconst"), 25, QLatin1String("select genre from book"),
     QLatin1String("genre")},
    {QLatin1String("Class"), QLatin1String(".classconst"), 45, QLatin1String("select clas from book"),
     QLatin1String("clas")},
};

const int kFileOrder[FieldCount] = {0, 2, 1, 3, 4, 5, 6};

// The system's alphabetical order without regard to case.
const QCollator &collator()
{
    static const QCollator c = [] {
        QCollator made{QLocale::system()};
        made.setCaseSensitivity(Qt::CaseInsensitive);
        return made;
    }();
    return c;
}

} // namespace

const Field &field(int index)
{
    return kFields[index];
}

const int *fileOrder()
{
    return kFileOrder;
}

qsizetype sortedPosition(const QStringList &list, const QString &value)
{
    const auto at = std::upper_bound(list.begin(), list.end(), value,
                                     [](const QString &a, const QString &b) { return collator().compare(a, b) < 0; });
    return at - list.begin();
}

QStringList sorted(QStringList values)
{
    std::stable_sort(values.begin(), values.end(),
                     [](const QString &a, const QString &b) { return collator().compare(a, b) < 0; });
    return values;
}

QStringList parse(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    QString text = Win1251::decode(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    // The break that ends the last line does not start another one.
    if (text.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    return lines;
}

QByteArray serialize(const QStringList &values)
{
    QByteArray bytes;
    for (const QString &value : values)
        bytes += Win1251::encode(value) + "\r\n";
    return bytes;
}

QString firstUnstorableCharacter(const QString &text)
{
    const qsizetype at = ConnectionCharset::fromLcCtype(QStringLiteral("WIN1251")).firstUnencodable(text);
    if (at < 0)
        return {};
    const bool pair = text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate();
    return text.mid(at, pair ? 2 : 1);
}

QStringList read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(QStringLiteral("Cannot read file \"%1\". %2").arg(path, file.errorString()));
    return parse(bytes);
}

void write(const QString &path, const QStringList &values)
{
    SafeFile::write(path, serialize(values), SafeFile::reportingAs(QStringLiteral("Cannot create file \"%1\". %2")));
}

void keepOldCopy(const QString &path)
{
    const SafeFile::Copy copy = SafeFile::copyBeside(path, SafeFile::OlderCopy::Replace);
    if (!copy.made)
        throw FileError(QStringLiteral("Cannot keep a copy of file \"%1\". %2").arg(path, copy.reason));
}

} // namespace ConstantListFiles
