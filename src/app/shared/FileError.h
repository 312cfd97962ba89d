#pragma once

#include <QString>
#include <stdexcept>

// A small file of the program could not be read or written; the text says which and why.
class FileError : public std::runtime_error
{
public:
    explicit FileError(const QString &message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};
