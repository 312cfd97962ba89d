#include "LockDirectory.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdlib>
#include <mutex>
#include <unistd.h>

namespace {

bool usable(const QString &dir)
{
    // The engine needs to create and open files in the directory; those it finds there
    // must be open to us as well (they are made 0660 by their first user).
    if (access(QFile::encodeName(dir).constData(), R_OK | W_OK | X_OK) != 0)
        return false;
    const QDir d(dir);
    for (const QFileInfo &fi : d.entryInfoList(QDir::Files | QDir::Hidden)) {
        if (access(QFile::encodeName(fi.absoluteFilePath()).constData(), R_OK | W_OK) != 0)
            return false;
    }
    return true;
}

QString choose()
{
    const QString shared = QString::fromLatin1(LockDirectory::kSharedDirectory);
    if (!QFileInfo::exists(shared))
        QDir().mkpath(shared);
    if (usable(shared))
        return shared;
    // A private runtime directory (0700, owned by the user, made by Qt when missing).
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath() + QStringLiteral("/runtime-%1").arg(getuid());
    const QString own = runtime + QStringLiteral("/firebird");
    QDir().mkpath(own);
    QFile::setPermissions(own, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return own;
}

} // namespace

QString LockDirectory::prepare()
{
    static QString chosen;
    static std::once_flag once;
    std::call_once(once, [] {
        const QByteArray preset = qgetenv("FIREBIRD_LOCK");
        if (!preset.isEmpty()) {
            chosen = QFile::decodeName(preset);
            return;
        }
        chosen = choose();
        setenv("FIREBIRD_LOCK", QFile::encodeName(chosen).constData(), 1);
    });
    return chosen;
}
