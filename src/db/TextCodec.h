#pragma once

#include <QByteArray>
#include <QString>

// Windows-1251 is the code page of the library, its connection and every small file of the
// program. Qt's own converters do not promise it on every build, so the table lives here.
namespace Win1251 {
// Encodes text; characters the code page cannot hold become '?' and set *ok to false.
QByteArray encode(QStringView text, bool *ok = nullptr);
QString decode(QByteArrayView bytes);
bool canEncode(QStringView text);
} // namespace Win1251

// The character set of a connection, named by its lc_ctype parameter.
class ConnectionCharset
{
public:
    enum class Kind { Win1251, Utf8, Latin1 };

    static ConnectionCharset fromLcCtype(const QString &lcCtype);

    Kind kind() const { return m_kind; }
    QString name() const { return m_name; }
    // Text that the character set cannot hold gives *ok = false; nothing is silently replaced
    // for the caller that checks.
    QByteArray encode(QStringView text, bool *ok = nullptr) const;
    QString decode(QByteArrayView bytes) const;
    // The first character of text that the character set cannot hold, or -1.
    qsizetype firstUnencodable(QStringView text) const;

private:
    Kind m_kind = Kind::Win1251;
    QString m_name = QStringLiteral("WIN1251");
};
