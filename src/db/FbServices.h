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

// "host:service_mgr" for a library "host:path" (also "host/port:path"); "service_mgr" for a file.
QString serviceName(const QString &databaseName);
// The path the server knows the database by: the part after "host:" or the file itself.
QString pathOnServer(const QString &databaseName);

// Writes a backup of the database; the database may stay attached meanwhile. Throws FbError.
void backup(const QString &databaseName, const QString &backupFile, const Login &login, const LineHandler &onLine);
// Creates a new database from a backup; refuses to replace an existing file. Throws FbError.
void restore(const QString &backupFile, const QString &databaseName, const Login &login, const LineHandler &onLine);

} // namespace FbServices
