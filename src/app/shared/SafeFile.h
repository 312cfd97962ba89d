#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

// Rewriting the program's small files: whole or not at all.
namespace SafeFile
{

// What a failed write says; each text takes the file's name (%1) and the reason (%2).
struct Texts {
    QString cannotCreate = QStringLiteral("Cannot create file \"%1\". %2");
    QString cannotRestrict = QStringLiteral("Cannot restrict the rights of file \"%1\". %2");
    QString cannotWrite = QStringLiteral("Cannot write file \"%1\". %2");
};

struct Options {
    // Set on the new file before anything is written to it (a file holding a password).
    std::optional<QFileDevice::Permissions> permissions;
    Texts texts;
};

// Options that give one text for every failure.
Options reportingAs(const QString &text);

// Replaces the file by the bytes through a temporary file that takes its place only when it is
// complete, so a crash or a full disk never leaves a truncated file. Throws FileError.
void write(const QString &path, const QByteArray &bytes, const Options &options = {});

// What to do with a copy an earlier run left: replace it, or keep it and number the new one
// (".bak2", ".bak3", ...).
enum class OlderCopy { Replace, Keep };

struct Copy {
    QString name; // the copy's name, also when it could not be made
    bool made = false;
    QString reason; // why it could not be made
};

// Copies a file beside itself under its name with ".bak" appended.
Copy copyBeside(const QString &path, OlderCopy older);

// Keeps a copy of a file the program could not read before it is rewritten: path + ".bak"
// (an older copy is replaced). Returns the copy's name, or empty when nothing could be copied.
QString keepCopy(const QString &path);

} // namespace SafeFile
