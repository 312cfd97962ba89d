#pragma once

#include "LibraryCatalog.h"
#include "TextCodec.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <optional>

class FbQuery;
class FbTransaction;

// One attachment to a library database: a plain path opens the file with the embedded
// engine, "host:path" goes to a server.
class FbDatabase : public QObject
{
    Q_OBJECT
public:
    // Asks for user name and password before connecting; false cancels the connection.
    using LoginHandler = std::function<bool(const QString &databaseName, QString &userName, QString &password)>;

    explicit FbDatabase(QObject *parent = nullptr);
    ~FbDatabase() override;

    QString databaseName() const { return m_databaseName; }
    void setDatabaseName(const QString &name) { m_databaseName = name; }

    // Lines of the form key=value: user_name, password, lc_ctype.
    QStringList params() const { return m_params; }
    void setParams(const QStringList &params) { m_params = params; }
    QString paramValue(const QString &key) const;
    // A parameter's value in a list of "key=value" lines (any letter case of the key).
    static QString paramIn(const QStringList &params, const QString &key);
    // The lines with key set to value, any earlier line of that key left out.
    static QStringList withParam(QStringList params, const QString &key, const QString &value);
    // The parameters with the user name and password this connection attached with (those the
    // login prompt asked for, when it is on): what a second attachment to the same library needs.
    QStringList sessionParams() const;

    bool loginPrompt() const { return m_loginPrompt; }
    void setLoginPrompt(bool on) { m_loginPrompt = on; }
    // A library made in UTF8 is then opened with lc_ctype UTF8 whatever the parameters say (the
    // parameters of the open connection are changed to match, so its workers follow).
    void setCharsetFollowsLibrary(bool on) { m_charsetFollowsLibrary = on; }
    // A second attachment that goes where leader goes: it opens on the leader's library with the
    // leader's session (the leader connects first when needed) and closes when the leader does.
    void follow(FbDatabase *leader);
    // The dialog shown when the login prompt is on; the application installs the real one.
    static void setLoginHandler(LoginHandler handler);

    // 3 until connected; then the lower of 3 and the file's dialect.
    int sqlDialect() const { return m_dialect; }

    FbTransaction *defaultTransaction() const { return m_transaction; }
    void setDefaultTransaction(FbTransaction *transaction);

    void open();
    // Commits the transaction (rolls back if the commit fails), closes every query, detaches.
    void close();
    bool connected() const { return m_handle != 0; }
    // Runs work on the attachment; when it fails because the attachment is gone, the connection
    // is closed before the error goes on to the caller.
    void runAttached(const std::function<void()> &work);
    // Raises "operation cancelled" in the statement running on this attachment, from any thread;
    // nothing happens when none runs.
    void cancelOperation();
    // While a statement of the window's runs on another thread, work that can wait (marks,
    // refreshes) leaves the attachment alone rather than queue behind it with the window frozen.
    void setUsedOffThread(bool used) { m_usedOffThread = used; }
    bool usedOffThread() const { return m_usedOffThread; }

    // The library's catalogue, read afresh in a transaction of its own; while connecting it is
    // read once for every check and read again only after a statement that may change it.
    LibraryCatalog catalog();
    void forgetCatalog() { m_catalog.reset(); }

private:
    // After a failed statement: a connection the server has dropped (server stopped, network
    // gone) is let go, so that the program shows itself disconnected and the next statement
    // connects afresh. A connection that still answers is kept.
    void dropIfLost();
    // Lets the attachment go without a commit: its transaction is gone with the server.
    void dropAttachment();

public:
    const ConnectionCharset &charset() const { return m_charset; }
    unsigned int *handle() { return &m_handle; }

    void registerQuery(FbQuery *query);
    void unregisterQuery(FbQuery *query);
    // Frees the statements closed queries keep prepared for a re-run (all but except's).
    void releaseIdleStatements(FbQuery *except);

    // "host:path", "host/port:path", "inet://host/path" or a UNC name: a library on a server,
    // which no local file check can see.
    static bool isServerPath(const QString &name);

    // Creates an empty database file at path with the given default character set and collation.
    static void createDatabase(const QString &path, const QString &charset, const QString &collation,
                               const QString &userName = QStringLiteral("SYSDBA"));

signals:
    void connectedChanged(bool connected);

private:
    QByteArray buildDpb(const QString &userName, const QString &password) const;
    void attach(const QByteArray &dpb);
    // Attached again with lc_ctype UTF8 when the library is UTF8 and the parameters say otherwise.
    void followLibraryCharset(const QString &userName, const QString &password);
    int readFileDialect();

    QString m_databaseName = QStringLiteral("LIBRARY.GDB");
    QStringList m_params;
    QString m_sessionUser;
    QString m_sessionPassword;
    bool m_loginPrompt = false;
    QPointer<FbDatabase> m_leader;
    bool m_usedOffThread = false;
    bool m_connecting = false;
    std::optional<LibraryCatalog> m_catalog;
    bool m_charsetFollowsLibrary = false;
    int m_dialect = 3;
    unsigned int m_handle = 0;
    ConnectionCharset m_charset;
    FbTransaction *m_transaction = nullptr;
    QList<FbQuery *> m_queries;
};
