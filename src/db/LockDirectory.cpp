#include "LockDirectory.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Why the directory may not hold the lock files; empty when it may. Every component of the path,
// from the root down, is looked at by lstat: a link anywhere on it could be re-pointed after the
// check, so it is refused; so is a directory above that others may write, unless its sticky bit
// (as on /tmp) keeps them from renaming what is not theirs.
QString refusal(const QString &dir, uid_t uid)
{
    if (!QDir::isAbsolutePath(dir) || QDir::cleanPath(dir) != dir)
        return QStringLiteral("not an absolute path in its plain form");
    if (!LockDirectory::trusted(LockDirectory::inspect(dir), uid))
        return QStringLiteral("%1 is a link, or not a directory only root or this user can change").arg(dir);
    QString parent = QFileInfo(dir).path();
    for (;;) {
        struct stat st {
        };
        if (lstat(QFile::encodeName(parent).constData(), &st) != 0)
            return QStringLiteral("%1 cannot be examined").arg(parent);
        if (S_ISLNK(st.st_mode))
            return QStringLiteral("%1 is a symbolic link").arg(parent);
        const bool ownerOk = st.st_uid == 0 || st.st_uid == uid;
        const bool othersWrite = (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
        if (!S_ISDIR(st.st_mode) || !ownerOk || (othersWrite && !(st.st_mode & S_ISVTX)))
            return QStringLiteral("%1 may be changed by others").arg(parent);
        if (parent == QLatin1String("/"))
            return {};
        parent = QFileInfo(parent).path();
    }
}

bool trustedPath(const QString &dir, uid_t uid)
{
    return refusal(dir, uid).isEmpty();
}

bool filesOpenToUs(const QString &dir)
{
    // The engine must be able to create files here and open those it finds (made 0660 by their
    // first user); a directory that the user may not use is no use, however safe.
    if (access(QFile::encodeName(dir).constData(), R_OK | W_OK | X_OK) != 0)
        return false;
    const QDir d(dir);
    for (const QFileInfo &fi : d.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (fi.isSymLink() || access(QFile::encodeName(fi.absoluteFilePath()).constData(), R_OK | W_OK) != 0)
            return false;
    }
    return true;
}

bool usable(const QString &dir)
{
    return trustedPath(dir, getuid()) && filesOpenToUs(dir);
}

// Makes dir (0700) when it is missing; true when it is then a directory of the user's own.
bool ownPrivateDirectory(const QString &dir)
{
    mkdir(QFile::encodeName(dir).constData(), 0700);
    const LockDirectory::Entry e = LockDirectory::inspect(dir);
    return e.directory && e.owner == getuid() && (e.mode & 077) == 0 && usable(dir);
}

QString newPrivateDirectory()
{
    QByteArray pattern = QFile::encodeName(QDir::tempPath() + QStringLiteral("/bibliora-locks-XXXXXX"));
    if (!mkdtemp(pattern.data()))
        return {};
    return QFile::decodeName(pattern);
}

} // namespace

LockDirectory::Entry LockDirectory::inspect(const QString &path)
{
    struct stat st {
    };
    Entry e;
    if (lstat(QFile::encodeName(path).constData(), &st) != 0)
        return e;
    e.exists = true;
    e.directory = S_ISDIR(st.st_mode);
    e.owner = st.st_uid;
    e.mode = st.st_mode & 07777;
    return e;
}

bool LockDirectory::trusted(const Entry &entry, uid_t uid)
{
    return entry.exists && entry.directory && (entry.owner == 0 || entry.owner == uid) &&
           (entry.mode & (S_IWGRP | S_IWOTH)) == 0;
}

QString LockDirectory::choose(const QString &preset, const QString &shared, const QString &privateBase)
{
    if (!preset.isEmpty()) {
        if (usable(preset))
            return preset; // exactly the path that was checked goes to the engine
        const QString why = refusal(preset, getuid());
        qWarning("FIREBIRD_LOCK=%s is not used for the engine's lock files: %s", qPrintable(preset),
                 qPrintable(why.isEmpty() ? QStringLiteral("its files are not open to this user") : why));
    }
    if (!inspect(shared).exists)
        mkdir(QFile::encodeName(shared).constData(), 0755);
    if (usable(shared))
        return shared;
    if (!privateBase.isEmpty() && ownPrivateDirectory(privateBase)) {
        const QString own = privateBase + QStringLiteral("/firebird");
        if (ownPrivateDirectory(own))
            return own;
    }
    return newPrivateDirectory();
}

QString LockDirectory::prepare()
{
    static QString chosen;
    static std::once_flag once;
    std::call_once(once, [] {
        QString base = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
        if (base.isEmpty())
            base = QDir::tempPath() + QStringLiteral("/runtime-%1").arg(getuid());
        chosen = choose(QFile::decodeName(qgetenv("FIREBIRD_LOCK")), QString::fromLatin1(kSharedDirectory), base);
        setenv("FIREBIRD_LOCK", QFile::encodeName(chosen).constData(), 1);
    });
    return chosen;
}
