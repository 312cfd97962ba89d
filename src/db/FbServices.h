#pragma once

#include <QString>
#include <functional>

// Backup and restore through the engine's services manager, in the format of gbak, so that any
// Firebird tool restores what is written here. A local library is served by the embedded
// engine in this process; a library on a server by that server's own services manager.
namespace FbServices
{

struct Login {
    QString userName;
    QString password;
};

// Each line of the engine's verbose output, as it arrives.
using LineHandler = std::function<void(const QString &line)>;
// Each piece of a backup sent to the program, as it arrives; may throw to stop.
using DataHandler = std::function<void(const char *data, int size)>;

// "host:service_mgr" for a library "host:path" (also "host/port:path"); "service_mgr" for a file.
QString serviceName(const QString &databaseName);
// The path the server knows the database by: the part after "host:" or the file itself.
QString pathOnServer(const QString &databaseName);

// Writes a backup of the database; the database may stay attached meanwhile. Throws FbError.
void backup(const QString &databaseName, const QString &backupFile, const Login &login, const LineHandler &onLine);
// Has the services manager (of the server, for a library there) send the backup to this program,
// which writes it where it likes. Throws FbError.
void backupToClient(const QString &databaseName, const Login &login, const DataHandler &onData);
// Creates a new database from a backup; refuses to replace an existing file. Throws FbError.
// Any error or report of an incomplete backup in the engine's output is a failure.
void restore(const QString &backupFile, const QString &databaseName, const Login &login, const LineHandler &onLine);

// The embedded engine may ask on standard input (a damaged backup: "press return"); the program
// never has anything to say there, so its standard input becomes /dev/null.
void neverReadStandardInput();

} // namespace FbServices
