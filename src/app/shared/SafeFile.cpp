#include "SafeFile.h"

#include "FileError.h"

#include <QFile>
#include <QSaveFile>

namespace SafeFile
{

void write(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw FileError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, file.errorString()));
}

QString keepCopy(const QString &path)
{
    const QString copy = path + QStringLiteral(".bak");
    QFile::remove(copy);
    return QFile::copy(path, copy) ? copy : QString();
}

} // namespace SafeFile
