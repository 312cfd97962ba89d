#include "FetchedRows.h"

#include "FbApi.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <cstring>
#include <new>

#include <sys/mman.h>

namespace {

constexpr short kSqlBoolean = 32764; // SQL_BOOLEAN of Firebird 3
constexpr short kOctets = 1;         // character set of binary text
constexpr char kNull = 1;

template <typename T> T read(const char *data)
{
    T v;
    std::memcpy(&v, data, sizeof v);
    return v;
}

bool isText(short type)
{
    return type == SQL_TEXT || type == SQL_VARYING;
}

// The text bytes of a cell as the engine placed them; a CHAR loses its padding.
QByteArrayView engineText(const XSQLVAR &var)
{
    const int charsetId = var.sqlsubtype & 0xFF;
    if ((var.sqltype & ~1) == SQL_VARYING)
        return QByteArrayView(var.sqldata + 2, read<short>(var.sqldata));
    QByteArrayView text(var.sqldata, var.sqllen);
    if (charsetId != kOctets)
        while (text.endsWith(' '))
            text.chop(1);
    return text;
}

} // namespace

void FetchedRows::reset(const XSQLDA *layout)
{
    m_chunks.clear();
    m_chunkBytes = m_used = 0;
    m_allocated = 0;
    m_rows = {};
    m_blobs = {};
    m_columns.clear();
    if (!layout)
        return;
    for (int i = 0; i < layout->sqld; ++i) {
        const XSQLVAR &var = layout->sqlvar[i];
        m_columns.append({static_cast<short>(var.sqltype & ~1), var.sqlscale, var.sqlsubtype, var.sqllen});
    }
}

// Every byte is written before it is read: no zeroing pass over a fresh chunk.
char *FetchedRows::allocateChunk(size_t bytes)
{
    const bool huge = bytes >= kHugePage; // whole huge pages, rounded up by reserve()
    char *chunk = static_cast<char *>(huge ? std::aligned_alloc(kHugePage, bytes) : std::malloc(bytes));
    if (!chunk)
        throw std::bad_alloc();
    if (huge)
        ::madvise(chunk, bytes, MADV_HUGEPAGE);
    return chunk;
}

char *FetchedRows::reserve(size_t bytes)
{
    if (m_chunks.empty() || m_used + bytes > m_chunkBytes) {
        m_chunkBytes = qMax(qBound(kFirstChunk, size_t(m_allocated), kLargestChunk), bytes);
        if (m_chunkBytes >= kHugePage)
            m_chunkBytes = (m_chunkBytes + kHugePage - 1) / kHugePage * kHugePage;
        m_chunks.emplace_back(allocateChunk(m_chunkBytes));
        m_allocated += qint64(m_chunkBytes);
        m_used = 0;
    }
    char *at = m_chunks.back().get() + m_used;
    m_used += bytes;
    return at;
}

void FetchedRows::append(const XSQLDA *row, const BlobReader &readBlob)
{
    size_t bytes = 0;
    for (int i = 0; i < m_columns.size(); ++i) {
        const XSQLVAR &var = row->sqlvar[i];
        const short type = m_columns[i].type;
        bytes += 1;
        if (*var.sqlind < 0)
            continue;
        if (isText(type))
            bytes += 2 + engineText(var).size();
        else if (type == SQL_BLOB)
            bytes += sizeof(int);
        else
            bytes += m_columns[i].length;
    }
    char *at = reserve(bytes);
    m_rows.append(at);
    for (int i = 0; i < m_columns.size(); ++i) {
        const XSQLVAR &var = row->sqlvar[i];
        const short type = m_columns[i].type;
        if (*var.sqlind < 0) {
            *at++ = kNull;
            continue;
        }
        *at++ = 0;
        if (isText(type)) {
            const QByteArrayView text = engineText(var);
            const auto length = static_cast<quint16>(text.size());
            std::memcpy(at, &length, 2);
            std::memcpy(at + 2, text.data(), length);
            at += 2 + length;
        } else if (type == SQL_BLOB) {
            const int index = int(m_blobs.size());
            m_blobs.append(readBlob(var.sqldata, i));
            std::memcpy(at, &index, sizeof index);
            at += sizeof index;
        } else {
            std::memcpy(at, var.sqldata, m_columns[i].length);
            at += m_columns[i].length;
        }
    }
}

int FetchedRows::cellSize(const Column &column, const char *data) const
{
    if (*data == kNull)
        return 1;
    if (isText(column.type))
        return 3 + read<quint16>(data + 1);
    if (column.type == SQL_BLOB)
        return 1 + int(sizeof(int));
    return 1 + column.length;
}

const char *FetchedRows::cell(int row, int column) const
{
    const char *at = m_rows[row];
    for (int i = 0; i < column; ++i)
        at += cellSize(m_columns[i], at);
    return at;
}

QVariant FetchedRows::value(int row, int column, const ConnectionCharset &charset) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_columns.size())
        return {};
    return decode(m_columns[column], cell(row, column), charset);
}

QVariant FetchedRows::decode(const Column &column, const char *cellData, const ConnectionCharset &charset) const
{
    if (*cellData == kNull)
        return {};
    const char *data = cellData + 1;
    double scale = 1;
    for (int s = 0; s < -column.scale; ++s)
        scale *= 10;
    switch (column.type) {
    case SQL_TEXT:
    case SQL_VARYING: {
        const QByteArrayView text(data + 2, read<quint16>(data));
        if ((column.subtype & 0xFF) == kOctets)
            return text.toByteArray();
        return charset.decode(text);
    }
    case SQL_SHORT: {
        const short v = read<short>(data);
        return column.scale < 0 ? QVariant(v / scale) : QVariant(int(v));
    }
    case SQL_LONG: {
        const ISC_LONG v = read<ISC_LONG>(data);
        return column.scale < 0 ? QVariant(v / scale) : QVariant(int(v));
    }
    case SQL_INT64: {
        const ISC_INT64 v = read<ISC_INT64>(data);
        return column.scale < 0 ? QVariant(double(v) / scale) : QVariant(qlonglong(v));
    }
    case SQL_FLOAT:
        return double(read<float>(data));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return read<double>(data);
    case SQL_TYPE_DATE:
        return QDate(1858, 11, 17).addDays(read<ISC_DATE>(data));
    case SQL_TYPE_TIME:
        return QTime(0, 0).addMSecs(int(read<ISC_TIME>(data) / 10));
    case SQL_TIMESTAMP: {
        const auto v = read<ISC_TIMESTAMP>(data);
        return QDateTime(QDate(1858, 11, 17).addDays(v.timestamp_date),
                         QTime(0, 0).addMSecs(int(v.timestamp_time / 10)));
    }
    case SQL_BLOB:
        return m_blobs.value(read<int>(data));
    case kSqlBoolean:
        return *data != 0;
    default:
        return QStringLiteral("(unsupported)");
    }
}

qint64 FetchedRows::heldBytes() const
{
    qint64 bytes = m_allocated + m_rows.capacity() * qint64(sizeof(const char *));
    for (const QVariant &blob : m_blobs)
        bytes += qint64(sizeof(QVariant))
                 + (blob.typeId() == QMetaType::QString ? blob.toString().size() * 2 : blob.toByteArray().size());
    return bytes;
}
