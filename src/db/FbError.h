#pragma once

#include <QList>
#include <QString>
#include <stdexcept>

// The one error type of the database layer; its text is the engine's own message.
class FbError : public std::runtime_error
{
public:
    explicit FbError(const QString &message, const QList<long> &codes = {})
        : std::runtime_error(message.toStdString()), m_message(message), m_codes(codes)
    {
    }
    QString message() const { return m_message; }
    // The engine's error codes, outermost first; empty for errors raised by the program itself.
    QList<long> codes() const { return m_codes; }

    // The attachment is gone (server stopped, network down, database shut down, attachment
    // killed): the connection has to be made anew.
    bool connectionLost() const;
    // Another program (another engine instance) holds the library file open.
    bool libraryInUse() const;
    // Another program holds a lock on the row (it is changing it and has not finished).
    bool lockConflict() const;

private:
    QString m_message;
    QList<long> m_codes;
};
