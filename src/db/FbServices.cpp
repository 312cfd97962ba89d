#include "FbServices.h"

#include "FbApi.h"
#include "FbDatabase.h"
#include "LockDirectory.h"

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace
{

const QRegularExpression &hostPrefix()
{
    // "host:" or "host/port:" with a host of two characters or more (one letter is a drive).
    static const QRegularExpression prefix(QStringLiteral("^([A-Za-z0-9_.\\-]{2,}(/[0-9A-Za-z_]+)?):"));
    return prefix;
}

void appendLongString(QByteArray &spb, char item, const QByteArray &value)
{
    const QByteArray v = value.left(65535);
    spb.append(item);
    spb.append(static_cast<char>(v.size() & 0xFF));
    spb.append(static_cast<char>((v.size() >> 8) & 0xFF));
    spb.append(v);
}

void appendInt(QByteArray &spb, char item, quint32 value)
{
    spb.append(item);
    for (int shift = 0; shift < 32; shift += 8)
        spb.append(static_cast<char>((value >> shift) & 0xFF));
}

// One attachment to a services manager, detached when it goes out of scope.
class ServiceAttachment
{
public:
    ServiceAttachment(const QString &databaseName, const FbServices::Login &login)
    {
        LockDirectory::prepare();
        FbServices::neverReadStandardInput();
        QByteArray spb;
        spb.append(static_cast<char>(isc_spb_version));
        spb.append(static_cast<char>(isc_spb_current_version));
        if (!login.userName.isEmpty())
            FbApi::appendShortString(spb, isc_spb_user_name, login.userName.toUtf8());
        if (!login.password.isEmpty())
            FbApi::appendShortString(spb, isc_spb_password, login.password.toUtf8());
        const QByteArray name = FbServices::serviceName(databaseName).toUtf8();
        ISC_STATUS_ARRAY status;
        isc_service_attach(status, static_cast<unsigned short>(name.size()), name.constData(), &m_handle,
                           static_cast<unsigned short>(spb.size()), spb.constData());
        FbApi::check(status);
    }
    ~ServiceAttachment()
    {
        ISC_STATUS_ARRAY status;
        if (m_handle)
            isc_service_detach(status, &m_handle);
    }
    ServiceAttachment(const ServiceAttachment &) = delete;
    ServiceAttachment &operator=(const ServiceAttachment &) = delete;

    // Starts the action and hands on its output line by line until the service has finished;
    // a failure of the action arrives with the last query.
    void run(const QByteArray &action, const FbServices::LineHandler &onLine)
    {
        ISC_STATUS_ARRAY status;
        isc_service_start(status, &m_handle, nullptr, static_cast<unsigned short>(action.size()), action.constData());
        FbApi::check(status);
        const char request[] = {isc_info_svc_line};
        char buffer[2048];
        for (;;) {
            isc_service_query(status, &m_handle, nullptr, 0, nullptr, sizeof request, request, sizeof buffer, buffer);
            FbApi::check(status);
            if (buffer[0] != isc_info_svc_line)
                return;
            const int length = static_cast<int>(isc_vax_integer(buffer + 1, 2));
            if (length == 0)
                return;
            const QString line = QString::fromLocal8Bit(buffer + 3, length);
            if (onLine)
                onLine(line);
            m_lines << line;
        }
    }

    // Starts the action and hands on the bytes it sends to the program until it has finished.
    void receive(const QByteArray &action, const FbServices::DataHandler &onData)
    {
        ISC_STATUS_ARRAY status;
        isc_service_start(status, &m_handle, nullptr, static_cast<unsigned short>(action.size()), action.constData());
        FbApi::check(status);
        const char request[] = {isc_info_svc_to_eof};
        QByteArray buffer(64 * 1024, Qt::Uninitialized);
        for (;;) {
            isc_service_query(status, &m_handle, nullptr, 0, nullptr, sizeof request, request,
                              static_cast<unsigned short>(buffer.size() - 1), buffer.data());
            FbApi::check(status);
            const char *p = buffer.constData();
            if (*p != isc_info_svc_to_eof)
                throw FbError(QStringLiteral("The services manager sent no backup"));
            const int length = static_cast<int>(isc_vax_integer(p + 1, 2)) & 0xFFFF;
            const char end = p[3 + length];
            if (length > 0)
                onData(p + 3, length);
            if (end != isc_info_truncated && end != isc_info_end && end != isc_info_data_not_ready &&
                end != isc_info_svc_timeout)
                throw FbError(QStringLiteral("The services manager sent a broken answer"));
            if (length == 0 && end == isc_info_end)
                return;
        }
    }

    // What the engine said, line by line.
    const QStringList &lines() const { return m_lines; }

private:
    isc_svc_handle m_handle = 0;
    QStringList m_lines;
};

// gbak's reports that a restore stopped short of the whole backup, though the action "succeeded".
bool reportsFailure(const QString &line)
{
    static const QRegularExpression failure(
        QStringLiteral("\\b(error|incomplete|unexpected end|failed|corrupt|press return)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return failure.match(line).hasMatch();
}

} // namespace

QString FbServices::serviceName(const QString &databaseName)
{
    const QRegularExpressionMatch match = hostPrefix().match(databaseName);
    if (!match.hasMatch())
        return QStringLiteral("service_mgr");
    return match.captured(1) + QStringLiteral(":service_mgr");
}

QString FbServices::pathOnServer(const QString &databaseName)
{
    const QRegularExpressionMatch match = hostPrefix().match(databaseName);
    return match.hasMatch() ? databaseName.mid(match.capturedLength(0)) : databaseName;
}

void FbServices::backup(const QString &databaseName, const QString &backupFile, const Login &login,
                        const LineHandler &onLine)
{
    ServiceAttachment service(databaseName, login);
    QByteArray action;
    action.append(static_cast<char>(isc_action_svc_backup));
    appendLongString(action, isc_spb_dbname, QFile::encodeName(pathOnServer(databaseName)));
    appendLongString(action, isc_spb_bkp_file, QFile::encodeName(backupFile));
    action.append(static_cast<char>(isc_spb_verbose));
    service.run(action, onLine);
}

void FbServices::backupToClient(const QString &databaseName, const Login &login, const DataHandler &onData)
{
    ServiceAttachment service(databaseName, login);
    QByteArray action;
    action.append(static_cast<char>(isc_action_svc_backup));
    appendLongString(action, isc_spb_dbname, QFile::encodeName(pathOnServer(databaseName)));
    appendLongString(action, isc_spb_bkp_file, QByteArrayLiteral("stdout"));
    service.receive(action, onData);
}

void FbServices::neverReadStandardInput()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const int null = open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (null >= 0 && null != STDIN_FILENO) {
            dup2(null, STDIN_FILENO);
            close(null);
        }
    });
}

void FbServices::restore(const QString &backupFile, const QString &databaseName, const Login &login,
                         const LineHandler &onLine)
{
    ServiceAttachment service(databaseName, login);
    QByteArray action;
    action.append(static_cast<char>(isc_action_svc_restore));
    appendLongString(action, isc_spb_bkp_file, QFile::encodeName(backupFile));
    appendLongString(action, isc_spb_dbname, QFile::encodeName(pathOnServer(databaseName)));
    // Create only: the engine refuses when the file exists, so no library is ever replaced.
    appendInt(action, isc_spb_options, isc_spb_res_create);
    action.append(static_cast<char>(isc_spb_verbose));
    service.run(action, onLine);
    // A cut backup leaves the action "done" with part of the library restored: gbak then says
    // "Backup incomplete" on the process's own output, never reaching its last step here.
    QString finished;
    for (const QString &line : service.lines()) {
        if (reportsFailure(line))
            throw FbError(line);
        if (line.contains(QLatin1String("finishing, closing, and going home")))
            finished = line;
    }
    if (finished.isEmpty())
        throw FbError(QStringLiteral("Backup incomplete: the restore ended at \"%1\"")
                          .arg(service.lines().isEmpty() ? QString() : service.lines().last().trimmed()));
}
