#pragma once

#include <QString>

class FbDatabase;

// Statements that change rows of a library on a server, in a short transaction of their own
// that never waits for another program's lock: a row another program is changing fails at once
// (FbError::lockConflict), so the window is never held up. Rolled back unless committed.
class NoWaitWrite
{
public:
    explicit NoWaitWrite(FbDatabase *database); // connects when needed; throws FbError
    ~NoWaitWrite();
    NoWaitWrite(const NoWaitWrite &) = delete;
    NoWaitWrite &operator=(const NoWaitWrite &) = delete;

    // Runs one statement; returns the rows it changed. Throws FbError.
    qint64 exec(const QString &sql);
    void commit(); // throws FbError

private:
    FbDatabase *m_database;
    unsigned int m_handle = 0;
};
