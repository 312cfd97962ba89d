#include "TextCodec.h"

#include <QHash>

namespace {

// Bytes 0x80..0xFF. 0x98 has no letter in the code page; it maps to U+0098 so that a byte
// read from a file is written back unchanged.
constexpr char16_t kHighHalf[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, 0x0410,
    0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D,
    0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A,
    0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444,
    0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

const QHash<char16_t, char> &reverseTable()
{
    static const QHash<char16_t, char> table = [] {
        QHash<char16_t, char> t;
        for (int i = 0; i < 128; ++i)
            t.insert(kHighHalf[i], static_cast<char>(0x80 + i));
        return t;
    }();
    return table;
}

bool encodeChar(char16_t c, char *out)
{
    if (c < 0x80) {
        *out = static_cast<char>(c);
        return true;
    }
    const auto &table = reverseTable();
    const auto it = table.constFind(c);
    if (it == table.constEnd())
        return false;
    *out = it.value();
    return true;
}

} // namespace

namespace Win1251 {

QByteArray encode(QStringView text, bool *ok)
{
    QByteArray out;
    out.reserve(text.size());
    bool allOk = true;
    for (const QChar ch : text) {
        char b = '?';
        if (!encodeChar(ch.unicode(), &b))
            allOk = false;
        out.append(b);
    }
    if (ok)
        *ok = allOk;
    return out;
}

QString decode(QByteArrayView bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        out.append(u < 0x80 ? QChar(u) : QChar(kHighHalf[u - 0x80]));
    }
    return out;
}

bool canEncode(QStringView text)
{
    char dummy;
    for (const QChar ch : text)
        if (!encodeChar(ch.unicode(), &dummy))
            return false;
    return true;
}

} // namespace Win1251

ConnectionCharset ConnectionCharset::fromLcCtype(const QString &lcCtype)
{
    ConnectionCharset cs;
    const QString name = lcCtype.trimmed().toUpper();
    cs.m_name = name.isEmpty() ? QStringLiteral("NONE") : name;
    if (name == QLatin1String("WIN1251") || name.isEmpty() || name == QLatin1String("NONE"))
        cs.m_kind = Kind::Win1251;
    else if (name == QLatin1String("UTF8") || name == QLatin1String("UNICODE_FSS"))
        cs.m_kind = Kind::Utf8;
    else
        cs.m_kind = Kind::Latin1;
    return cs;
}

QByteArray ConnectionCharset::encode(QStringView text, bool *ok) const
{
    switch (m_kind) {
    case Kind::Win1251:
        return Win1251::encode(text, ok);
    case Kind::Utf8:
        if (ok)
            *ok = true;
        return text.toUtf8();
    case Kind::Latin1:
        if (ok)
            *ok = firstUnencodable(text) < 0;
        return text.toLatin1();
    }
    return {};
}

QString ConnectionCharset::decode(QByteArrayView bytes) const
{
    switch (m_kind) {
    case Kind::Win1251:
        return Win1251::decode(bytes);
    case Kind::Utf8:
        return QString::fromUtf8(bytes);
    case Kind::Latin1:
        return QString::fromLatin1(bytes);
    }
    return {};
}

qsizetype ConnectionCharset::firstUnencodable(QStringView text) const
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        switch (m_kind) {
        case Kind::Win1251:
            if (!Win1251::canEncode(text.mid(i, 1)))
                return i;
            break;
        case Kind::Utf8:
            return -1;
        case Kind::Latin1:
            if (ch.unicode() > 0xFF)
                return i;
            break;
        }
    }
    return -1;
}
