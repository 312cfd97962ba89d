#include "FbDatabase.h"

#include "LibraryCharset.h"

#include "FbApi.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "LockDirectory.h"
#include "OwnTransaction.h"

#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>

namespace {

FbDatabase::LoginHandler &loginHandler()
{
    static FbDatabase::LoginHandler handler;
    return handler;
}

} // namespace

namespace {

// The error codes of a status vector, skipping the arguments that follow each of them.
QList<long> errorCodes(const ISC_STATUS *status)
{
    QList<long> codes;
    for (const ISC_STATUS *p = status; *p != isc_arg_end;) {
        const ISC_STATUS kind = *p++;
        if (kind == isc_arg_warning)
            break;
        if (kind == isc_arg_gds)
            codes << static_cast<long>(*p);
        p += kind == isc_arg_cstring ? 2 : 1;
    }
    return codes;
}

} // namespace

void FbApi::raise(const ISC_STATUS *status)
{
    const QList<long> codes = errorCodes(status);
    QStringList lines;
    const ISC_STATUS *p = status;
    char buffer[1024];
    while (fb_interpret(buffer, sizeof buffer, &p) > 0)
        lines << QString::fromLocal8Bit(buffer);
    throw FbError(lines.isEmpty() ? QStringLiteral("Unknown database error") : lines.join(QLatin1Char('\n')), codes);
}

FbDatabase::FbDatabase(QObject *parent)
    : QObject(parent)
{
}

FbDatabase::~FbDatabase()
{
    try {
        close();
    } catch (const FbError &) {
        // The attachment dies with the process; nothing more can be done here.
    }
}

void FbDatabase::setLoginHandler(LoginHandler handler)
{
    loginHandler() = std::move(handler);
}

QString FbDatabase::paramValue(const QString &key) const
{
    return paramIn(m_params, key);
}

namespace {
bool hasKey(const QString &line, const QString &key)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq > 0 && line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0;
}
} // namespace

QString FbDatabase::paramIn(const QStringList &params, const QString &key)
{
    for (const QString &line : params)
        if (hasKey(line, key))
            return line.mid(line.indexOf(QLatin1Char('=')) + 1);
    return {};
}

QStringList FbDatabase::withParam(QStringList params, const QString &key, const QString &value)
{
    params.removeIf([&key](const QString &line) { return hasKey(line, key); });
    return params << key + QLatin1Char('=') + value;
}

QStringList FbDatabase::sessionParams() const
{
    if (!connected())
        return m_params;
    QStringList params;
    for (const QString &line : m_params) {
        const QString key = line.section(QLatin1Char('='), 0, 0).trimmed();
        if (key.compare(QLatin1String("user_name"), Qt::CaseInsensitive) != 0
            && key.compare(QLatin1String("password"), Qt::CaseInsensitive) != 0)
            params << line;
    }
    params << QStringLiteral("user_name=") + m_sessionUser << QStringLiteral("password=") + m_sessionPassword;
    return params;
}

void FbDatabase::setDefaultTransaction(FbTransaction *transaction)
{
    m_transaction = transaction;
}

QByteArray FbDatabase::buildDpb(const QString &userName, const QString &password) const
{
    QByteArray dpb;
    dpb.append(static_cast<char>(isc_dpb_version1));
    const QString lcCtype = paramValue(QStringLiteral("lc_ctype"));
    if (!userName.isEmpty())
        FbApi::appendShortString(dpb, isc_dpb_user_name, userName.toUtf8());
    if (!password.isEmpty())
        FbApi::appendShortString(dpb, isc_dpb_password, password.toUtf8());
    if (!lcCtype.isEmpty())
        FbApi::appendShortString(dpb, isc_dpb_lc_ctype, lcCtype.trimmed().toLatin1());
    const QString role = paramValue(QStringLiteral("sql_role_name"));
    if (!role.isEmpty())
        FbApi::appendShortString(dpb, isc_dpb_sql_role_name, role.toUtf8());
    return dpb;
}

void FbDatabase::follow(FbDatabase *leader)
{
    m_leader = leader;
    m_loginPrompt = false; // the leader's session is used
    connect(leader, &FbDatabase::connectedChanged, this, [this](bool connected) {
        if (!connected)
            close();
    });
}

void FbDatabase::open()
{
    if (connected())
        return;
    if (m_leader) {
        m_leader->open();
        m_databaseName = m_leader->databaseName();
        m_params = m_leader->sessionParams();
    }
    LockDirectory::prepare();
    // Everything that runs on connecting (here and in the handlers of connectedChanged) checks
    // the catalogue: one read serves them all.
    m_connecting = true;
    const auto connectingEnds = qScopeGuard([this] {
        m_connecting = false;
        m_catalog.reset();
    });
    QString userName = paramValue(QStringLiteral("user_name"));
    QString password = paramValue(QStringLiteral("password"));
    if (m_loginPrompt) {
        const LoginHandler &ask = loginHandler();
        if (!ask || !ask(m_databaseName, userName, password))
            throw FbError(QStringLiteral("Login to the database was cancelled"));
    }
    attach(buildDpb(userName, password));
    if (m_charsetFollowsLibrary)
        followLibraryCharset(userName, password);
    m_sessionUser = userName;
    m_sessionPassword = password;
    m_charset = ConnectionCharset::fromLcCtype(paramValue(QStringLiteral("lc_ctype")));
    m_dialect = qMin(3, readFileDialect());
    emit connectedChanged(true);
}

int FbDatabase::readFileDialect()
{
    const char items[] = {isc_info_db_sql_dialect, isc_info_end};
    char buffer[64] = {};
    ISC_STATUS_ARRAY status;
    isc_database_info(status, &m_handle, sizeof items, items, sizeof buffer, buffer);
    if (status[0] == 1 && status[1] != 0)
        return 3;
    if (buffer[0] != isc_info_db_sql_dialect)
        return 1; // files older than dialects know only dialect 1
    const short len = static_cast<short>(isc_vax_integer(buffer + 1, 2));
    return static_cast<int>(isc_vax_integer(buffer + 3, len));
}

void FbDatabase::attach(const QByteArray &dpb)
{
    const QByteArray name = QFile::encodeName(m_databaseName);
    ISC_STATUS_ARRAY status;
    isc_db_handle handle = 0;
    isc_attach_database(status, static_cast<short>(name.size()), name.constData(), &handle,
                        static_cast<short>(dpb.size()), dpb.constData());
    FbApi::check(status);
    m_handle = handle;
}

LibraryCatalog FbDatabase::catalog()
{
    if (m_catalog)
        return *m_catalog;
    if (m_connecting && m_transaction) {
        // On connecting, the connection's transaction reads it and the book list opened next
        // goes on in it: on a server that spares a transaction's start and end.
        m_transaction->ensureStarted();
        m_catalog = LibraryCatalog::read(*this, m_transaction->handle());
        return *m_catalog;
    }
    OwnTransaction tr(*this);
    LibraryCatalog read = LibraryCatalog::read(*this, tr.handle());
    if (m_connecting)
        m_catalog = read;
    return read;
}

void FbDatabase::followLibraryCharset(const QString &userName, const QString &password)
{
    if (ConnectionCharset::fromLcCtype(paramValue(QStringLiteral("lc_ctype"))).kind() == ConnectionCharset::Kind::Utf8 ||
        LibraryCharset::of(*this) != QLatin1String("UTF8"))
        return;
    if (m_transaction)
        m_transaction->end();
    ISC_STATUS_ARRAY status;
    isc_detach_database(status, &m_handle);
    m_handle = 0;
    m_params = withParam(m_params, QStringLiteral("lc_ctype"), QStringLiteral("UTF8"));
    attach(buildDpb(userName, password));
}

void FbDatabase::close()
{
    m_catalog.reset();
    if (!connected())
        return;
    for (FbQuery *query : std::as_const(m_queries))
        query->connectionClosing();
    if (m_transaction)
        m_transaction->end();
    ISC_STATUS_ARRAY status;
    isc_detach_database(status, &m_handle);
    try {
        FbApi::check(status);
    } catch (const FbError &e) {
        // An attachment that is already gone is closed all the same.
        if (!e.connectionLost())
            throw;
    }
    m_handle = 0;
    m_dialect = 3;
    emit connectedChanged(false);
}

void FbDatabase::dropIfLost()
{
    if (!connected())
        return;
    const char items[] = {isc_info_ods_version, isc_info_end};
    char buffer[32] = {};
    ISC_STATUS_ARRAY status;
    isc_database_info(status, &m_handle, sizeof items, items, sizeof buffer, buffer);
    if (status[0] != 1 || status[1] == 0)
        return;
    dropAttachment();
}

void FbDatabase::dropAttachment()
{
    if (!connected())
        return;
    ISC_STATUS_ARRAY status;
    for (FbQuery *query : std::as_const(m_queries))
        query->connectionClosing();
    if (m_transaction)
        m_transaction->forget();
    isc_detach_database(status, &m_handle); // frees what the client library holds; the server is gone
    m_handle = 0;
    m_dialect = 3;
    emit connectedChanged(false);
}

void FbDatabase::runAttached(const std::function<void()> &work)
{
    try {
        work();
    } catch (const FbError &e) {
        // A dead attachment is let go, so that the program shows itself disconnected and the
        // next statement connects anew. Not every engine names the loss, so an unknown error is
        // checked against the attachment itself.
        if (e.connectionLost())
            dropAttachment();
        else
            dropIfLost();
        throw;
    }
}

void FbDatabase::registerQuery(FbQuery *query)
{
    if (!m_queries.contains(query))
        m_queries.append(query);
}

void FbDatabase::unregisterQuery(FbQuery *query)
{
    m_queries.removeAll(query);
}

void FbDatabase::releaseIdleStatements(FbQuery *except)
{
    for (FbQuery *query : std::as_const(m_queries))
        if (query != except)
            query->releaseIdleStatement();
}

bool FbDatabase::isServerPath(const QString &name)
{
    // A host name of two characters or more before ":" (one letter is a Windows drive).
    static const QRegularExpression server(QStringLiteral("^(inet[46]?://|\\\\\\\\|[A-Za-z0-9_.\\-]{2,}(/[0-9A-Za-z_]+)?:)"));
    return server.match(name).hasMatch();
}

void FbDatabase::createDatabase(const QString &path, const QString &charset, const QString &collation,
                                const QString &userName)
{
    LockDirectory::prepare();
    QString statement = QStringLiteral("CREATE DATABASE '%1' USER '%2' PAGE_SIZE 8192 DEFAULT CHARACTER SET %3")
                            .arg(QString(path).replace(QLatin1Char('\''), QLatin1String("''")), userName, charset);
    if (!collation.isEmpty())
        statement += QStringLiteral(" COLLATION ") + collation;
    const QByteArray sql = statement.toUtf8();
    ISC_STATUS_ARRAY status;
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    isc_dsql_execute_immediate(status, &db, &tr, 0, sql.constData(), 3, nullptr);
    FbApi::check(status);
    isc_detach_database(status, &db);
    FbApi::check(status);
}

void FbDatabase::cancelOperation()
{
    if (!connected())
        return;
    ISC_STATUS_ARRAY status;
    fb_cancel_operation(status, handle(), fb_cancel_raise);
}
