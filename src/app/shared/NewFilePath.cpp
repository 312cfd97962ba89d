#include "NewFilePath.h"

#include <QFileInfo>

namespace NewFilePath {

QString complete(const QString &typed, const char *suffix)
{
    const QString path = QFileInfo(typed).suffix().isEmpty() ? typed + QLatin1Char('.') + QLatin1String(suffix) : typed;
    return QFileInfo(path).absoluteFilePath();
}

bool taken(const QString &path)
{
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

} // namespace NewFilePath
