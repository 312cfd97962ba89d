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

    unsigned int *handle() { return &m_handle; }

private:
    FbDatabase &m_db;
    unsigned int m_handle = 0;
};

// The first column of every row of a select run in a transaction of db's attachment, as trimmed
// text of at most width bytes. Statements are sent in the attachment's character set.
QStringList selectColumn(FbDatabase &db, unsigned int *transaction, const QString &select, int width = 1024);

// The value of a select that yields one row of one column, as bytes (at most width of them);
// empty when NULL. The statement is prepared, run and answered at once: one round trip to a
// server. Throws FbError with the engine's text.
QByteArray selectValue(FbDatabase &db, unsigned int *transaction, const QString &select, int width);
