#pragma once

#include <QString>

// A new private folder (0700) made beside a target file, where a new file is made under the
// target's name and, once complete, moved into place in one rename. In a folder that others may
// write, nobody can plant a name in the private one; both folders are held open, so the rename
// works on what was checked even if their names are swapped meanwhile. Whatever is left in the
// private folder is removed with it.
class PrivateFolder
{
public:
    explicit PrivateFolder(const QString &target); // throws FileError
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder &) = delete;
    PrivateFolder &operator=(const PrivateFolder &) = delete;

    // The new file's path, for the engine to create.
    QString filePath() const;
    // Creates the new file (O_EXCL | O_NOFOLLOW) and returns its descriptor. Throws FileError.
    int createFile();
    // Moves the new file to the target's name. replace: a file or link there is replaced itself
    // (what a link points to is never touched); otherwise an existing name is refused. Throws FileError.
    void moveIntoPlace(bool replace);

    [[noreturn]] void fail(int error) const;

private:
    void removeAll();

    QString m_target;
    QByteArray m_name;       // the target's name
    QByteArray m_folderName; // the private folder, by its name in the target's folder
    int m_parent = -1;
    int m_folder = -1;
};

// A backup file written by the program itself through a PrivateFolder. Until commit() the target
// is untouched; a file dropped unfinished leaves nothing behind.
class BackupFile
{
public:
    explicit BackupFile(const QString &target); // throws FileError
    ~BackupFile();
    BackupFile(const BackupFile &) = delete;
    BackupFile &operator=(const BackupFile &) = delete;

    // Throws FileError; a full disk says so.
    void write(const char *data, qint64 size);
    // Flushes the file to the disk and puts it in place under the target's name. Throws FileError.
    void commit();
    qint64 written() const { return m_written; }

    // Why a write failed, in words for the user: a full disk is named as such.
    static QString reason(int error);

private:
    PrivateFolder m_folder;
    int m_file = -1;
    qint64 m_written = 0;
};
