#include "SavedQueriesFile.h"

#include "FileError.h"
#include "LangStr.h"
#include "SafeFile.h"
#include "TextCodec.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace
{

QString message(const char *key)
{
    return LangStr(QString::fromLatin1(key));
}

bool isText(char byte)
{
    const auto b = static_cast<unsigned char>(byte);
    return b >= 0x20 || b == '\t' || b == '\r' || b == '\n';
}

} // namespace

QByteArray SavedQueriesFile::encode(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        for (const QChar c : line)
            if (!Win1251::canEncode(QStringView(&c, 1)))
                throw FileError(message("csqlfchar").arg(c));
        bytes += Win1251::encode(line) + "\r\n";
    }
    return bytes;
}

QStringList SavedQueriesFile::decode(const QByteArray &bytes, const QString &path)
{
    const auto bad = std::find_if_not(bytes.cbegin(), bytes.cend(), isText);
    if (bad != bytes.cend()) {
        const qsizetype line = bytes.first(bad - bytes.cbegin()).count('\n') + 1;
        throw FileError(message("csqlfntext").arg(path).arg(line));
    }
    if (bytes.isEmpty())
        return {};
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = Win1251::decode(bytes).split(lineEnd);
    // The last line's own terminator starts no further line.
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList SavedQueriesFile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(message("csqlfnread").arg(path, file.errorString()));
    if (file.size() > kMaxBytes)
        throw FileError(message("csqlfbig").arg(path).arg(kMaxBytes / 1024));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(message("csqlfnread").arg(path, file.errorString()));
    return decode(bytes, path);
}

void SavedQueriesFile::write(const QString &path, const QStringList &lines)
{
    SafeFile::write(path, encode(lines), SafeFile::reportingAs(message("csqlfnwrite")));
}

QString SavedQueriesFile::keepCopy(const QString &path)
{
    const SafeFile::Copy copy = SafeFile::copyBeside(path, SafeFile::OlderCopy::Keep);
    if (!copy.made)
        throw FileError(message("csqlfnwrite").arg(copy.name, copy.reason));
    return copy.name;
}
