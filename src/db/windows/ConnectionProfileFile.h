#pragma once

#include <QByteArray>
#include <QString>

// The five values a connection is made with, as kept in .dbconnection.
struct ConnectionProfile {
    QString lcCtype;
    QString userName;
    QString password;
    QString dbFilePath;
    QString loginPrompt;

    bool operator==(const ConnectionProfile &) const = default;
};

// .dbconnection: one fixed record of length-prefixed Windows-1251 strings, no header.
namespace ConnectionProfileFile
{
inline constexpr int kRecordSize = 406;

struct Field {
    int offset;
    int capacity; // characters after the length byte
};
inline constexpr Field kLcCtype{0, 16};
inline constexpr Field kUserName{17, 64};
inline constexpr Field kPassword{82, 64};
inline constexpr Field kDbFilePath{147, 255};
inline constexpr Field kLoginPrompt{403, 2};

// Text longer than its field is cut to the field's capacity; unused bytes are zeros.
QByteArray encode(const ConnectionProfile &profile);
// Throws FileError when the record is not exactly kRecordSize bytes.
ConnectionProfile decode(const QByteArray &record);

// Both throw FileError. A file longer than a record is read from its first kRecordSize bytes.
// The file holds a password: it is kept readable and writable by its owner only.
ConnectionProfile read(const QString &path);
void write(const QString &path, const ConnectionProfile &profile);
} // namespace ConnectionProfileFile
