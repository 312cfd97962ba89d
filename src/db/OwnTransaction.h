#pragma once

#include <QString>
#include <QStringList>

class FbDatabase;

// A transaction of its own on an open attachment, beside the connection's shared one; rolled
// back unless committed. Statements are sent in the attachment's character set.
class OwnTransaction
{
public:
    explicit OwnTransaction(FbDatabase &db);
    ~OwnTransaction();
    OwnTransaction(const OwnTransaction &) = delete;
    OwnTransaction &operator=(const OwnTransaction &) = delete;

    // Throws FbError with the engine's text. What the library's catalogue holds may have changed.
    void execute(QString statement);
    // The first column of every row of a select, as trimmed text of at most width bytes.
    QStringList column(const QString &select, int width = 1024);
    void commit();

private:
    QByteArray encoded(const QString &statement) const;

    FbDatabase &m_db;
    unsigned int m_handle = 0;
};
