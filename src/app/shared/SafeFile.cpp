#include "SafeFile.h"

#include "FileError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace SafeFile
{

void write(const QString &path, const QByteArray &bytes, const Options &options)
{
    QSaveFile file(path);
    const auto fail = [&](const QString &text) { return FileError(text.arg(path, file.errorString())); };
    if (!file.open(QIODevice::WriteOnly))
        throw fail(options.texts.cannotCreate);
    if (options.permissions && !file.setPermissions(*options.permissions))
        throw fail(options.texts.cannotRestrict);
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw fail(options.texts.cannotWrite);
}

Options reportingAs(const QString &text)
{
    Options options;
    options.texts = {text, text, text};
    return options;
}

Copy copyBeside(const QString &path, OlderCopy older)
{
    const QString first = path + QStringLiteral(".bak");
    Copy copy;
    copy.name = first;
    if (older == OlderCopy::Replace)
        QFile::remove(first);
    else
        for (int n = 2; QFileInfo::exists(copy.name); ++n)
            copy.name = first + QString::number(n);
    QFile original(path);
    copy.made = original.copy(copy.name);
    if (!copy.made)
        copy.reason = original.errorString();
    return copy;
}

QString keepCopy(const QString &path)
{
    const Copy copy = copyBeside(path, OlderCopy::Replace);
    return copy.made ? copy.name : QString();
}

} // namespace SafeFile
