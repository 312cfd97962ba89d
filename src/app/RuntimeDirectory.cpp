#include "RuntimeDirectory.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

constexpr mode_t kPrivate = 0700;

QString userName()
{
    if (const passwd *user = getpwuid(getuid()); user && user->pw_name)
        return QFile::decodeName(user->pw_name);
    return QString::number(getuid());
}

// Ours alone: a real directory (no link), owned by us, readable by nobody else.
bool makePrivate(const QByteArray &path)
{
    if (mkdir(path.constData(), kPrivate) != 0 && errno != EEXIST)
        return false;
    struct stat info {
    };
    if (lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid())
        return false;
    if ((info.st_mode & 0777) != kPrivate && chmod(path.constData(), kPrivate) != 0)
        return false;
    return true;
}

} // namespace

QString RuntimeDirectory::prepare()
{
    const QByteArray preset = qgetenv("XDG_RUNTIME_DIR");
    if (!preset.isEmpty())
        return QFile::decodeName(preset);
    const QString dir = QDir::tempPath() + QStringLiteral("/runtime-") + userName();
    const QByteArray path = QFile::encodeName(dir);
    if (!makePrivate(path))
        return QString();
    setenv("XDG_RUNTIME_DIR", path.constData(), 1);
    return dir;
}
