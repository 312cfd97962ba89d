#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

#include <memory>

class FbDatabase;

// One statement with positional "?" parameters, prepared once and run many times with new text
// values in the connection's transaction. Nothing is committed after a run: the caller holds the
// work together (a batch) and decides when it becomes durable.
class FbPrepared
{
public:
    FbPrepared(FbDatabase *database, const QString &statement);
    ~FbPrepared();
    FbPrepared(const FbPrepared &) = delete;
    FbPrepared &operator=(const FbPrepared &) = delete;

    int parameterCount() const;
    // A null QString binds NULL; the engine converts text to the parameter's type.
    void execute(const QList<QString> &values);
    // For a statement whose one parameter is a BLOB: the bytes are written as a new blob in the
    // transaction and the statement run with it (a picture, which no text parameter can carry).
    void executeWithBlob(const QByteArray &bytes);

private:
    struct Handle;
    FbDatabase *m_database;
    std::unique_ptr<Handle> m_handle;
};
