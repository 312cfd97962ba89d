#pragma once

#include <QString>
#include <stdexcept>

// The one error type of the database layer; its text is the engine's own message.
class FbError : public std::runtime_error
{
public:
    explicit FbError(const QString &message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};
