#include "BackupFile.h"

#include "FileError.h"
#include "LangStr.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

PrivateFolder::PrivateFolder(const QString &target) : m_target(target)
{
    const QFileInfo info(target);
    const QByteArray parent = QFile::encodeName(info.absolutePath());
    m_name = QFile::encodeName(info.fileName());
    m_parent = open(parent.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_parent < 0)
        fail(errno);
    QByteArray folder = parent + "/." + m_name + ".XXXXXX";
    if (!mkdtemp(folder.data())) {
        const int error = errno;
        removeAll();
        fail(error);
    }
    m_folderName = folder.mid(parent.size() + 1);
    // By its name in the folder held open, never through a link; one that is not the user's own
    // private folder (swapped meanwhile) is refused.
    m_folder = openat(m_parent, m_folderName.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st {
    };
    if (m_folder < 0 || fstat(m_folder, &st) != 0 || st.st_uid != getuid() || (st.st_mode & 077) != 0) {
        const int error = m_folder < 0 ? errno : EPERM;
        removeAll();
        fail(error);
    }
}

PrivateFolder::~PrivateFolder()
{
    removeAll();
}

QString PrivateFolder::filePath() const
{
    return QFileInfo(m_target).absolutePath() + QLatin1Char('/') + QFile::decodeName(m_folderName) +
           QLatin1Char('/') + QFile::decodeName(m_name);
}

int PrivateFolder::createFile()
{
    const int file = openat(m_folder, m_name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (file < 0)
        fail(errno);
    return file;
}

void PrivateFolder::moveIntoPlace(bool replace)
{
    // rename() never follows a link at the new name: the link itself is what gets replaced.
    const int done = replace ? renameat(m_folder, m_name.constData(), m_parent, m_name.constData())
                             : renameat2(m_folder, m_name.constData(), m_parent, m_name.constData(), RENAME_NOREPLACE);
    if (done != 0)
        fail(errno);
    fsync(m_parent);
}

void PrivateFolder::removeAll()
{
    if (m_folder >= 0) {
        unlinkat(m_folder, m_name.constData(), 0);
        close(m_folder);
        m_folder = -1;
    }
    if (m_parent >= 0) {
        if (!m_folderName.isEmpty())
            unlinkat(m_parent, m_folderName.constData(), AT_REMOVEDIR);
        close(m_parent);
        m_parent = -1;
    }
}

void PrivateFolder::fail(int error) const
{
    throw FileError(m_target + QStringLiteral(": ") + BackupFile::reason(error));
}

BackupFile::BackupFile(const QString &target) : m_folder(target), m_file(m_folder.createFile())
{
}

BackupFile::~BackupFile()
{
    if (m_file >= 0)
        close(m_file);
}

void BackupFile::write(const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(m_file, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            m_folder.fail(n < 0 ? errno : ENOSPC);
        data += n;
        size -= n;
        m_written += n;
    }
}

void BackupFile::commit()
{
    if (fsync(m_file) != 0 || close(m_file) != 0) {
        const int error = errno;
        m_file = -1;
        m_folder.fail(error);
    }
    m_file = -1;
    m_folder.moveIntoPlace(true);
}

QString BackupFile::reason(int error)
{
    if (error == ENOSPC || error == EDQUOT)
        return LangStr(QStringLiteral("cdiskfull"));
    return QString::fromLocal8Bit(std::strerror(error));
}
