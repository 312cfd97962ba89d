#include "ConnectionProfileFile.h"

#include "FileError.h"
#include "SafeFile.h"
#include "TextCodec.h"

#include <QFile>

namespace ConnectionProfileFile
{
namespace
{
constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

void put(QByteArray &record, Field field, const QString &text)
{
    // Windows-1251 has one byte per character, so cutting bytes cuts characters.
    const QByteArray bytes = Win1251::encode(text).left(field.capacity);
    record[field.offset] = static_cast<char>(bytes.size());
    record.replace(field.offset + 1, bytes.size(), bytes);
}

QString take(const QByteArray &record, Field field)
{
    // A damaged length byte must not reach into the next field.
    const int stored = static_cast<unsigned char>(record.at(field.offset));
    const int used = qMin(stored, field.capacity);
    return Win1251::decode(QByteArrayView(record).sliced(field.offset + 1, used));
}
} // namespace

QByteArray encode(const ConnectionProfile &profile)
{
    QByteArray record(kRecordSize, '\0');
    put(record, kLcCtype, profile.lcCtype);
    put(record, kUserName, profile.userName);
    put(record, kPassword, profile.password);
    put(record, kDbFilePath, profile.dbFilePath);
    put(record, kLoginPrompt, profile.loginPrompt);
    return record;
}

ConnectionProfile decode(const QByteArray &record)
{
    if (record.size() != kRecordSize)
        throw FileError(
            QStringLiteral("The connection profile holds %1 bytes instead of %2").arg(record.size()).arg(kRecordSize));
    ConnectionProfile profile;
    profile.lcCtype = take(record, kLcCtype);
    profile.userName = take(record, kUserName);
    profile.password = take(record, kPassword);
    profile.dbFilePath = take(record, kDbFilePath);
    profile.loginPrompt = take(record, kLoginPrompt);
    return profile;
}

ConnectionProfile read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    // One record; whatever follows it (an editor's line end, say) is not part of the profile.
    const QByteArray record = file.read(kRecordSize);
    if (file.error() != QFileDevice::NoError)
        throw FileError(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    return decode(record);
}

void write(const QString &path, const ConnectionProfile &profile)
{
    // The new file is owner-only before it holds the password.
    SafeFile::write(
        path, encode(profile),
        {.permissions = kOwnerOnly,
         .texts = {QStringLiteral("Cannot create %1: %2"), QStringLiteral("Cannot restrict the rights of %1: %2"),
                   QStringLiteral("Cannot write %1: %2")}});
}
} // namespace ConnectionProfileFile
