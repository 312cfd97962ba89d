#pragma once

#include "TextCodec.h"

#include <ibase.h>

#include <QVariant>
#include <QVector>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

// The rows a query has fetched, kept as the engine sent them and decoded only when a cell is
// read. A row is one block: a null flag per column, then each value's bytes (a text only as
// long as its text). That is about the size of the data itself, where a QVariant per cell
// costs several times as much.
class FetchedRows
{
public:
    // Reads a blob cell at fetch time: its id is only valid while the cursor's transaction runs.
    using BlobReader = std::function<QVariant(const char *blobId, int column)>;

    // Forgets every row and gives their memory back; columns describes the next result.
    void reset(const XSQLDA *layout = nullptr);

    // Copies the row the engine has just placed into the layout's buffers.
    void append(const XSQLDA *row, const BlobReader &readBlob);

    int size() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    int columnCount() const { return int(m_columns.size()); }

    QVariant value(int row, int column, const ConnectionCharset &charset) const;
    // The bytes held for the rows (blocks, row index and blob values).
    qint64 heldBytes() const;

private:
    struct Column {
        short type = 0;
        short scale = 0;
        short subtype = 0;
        short length = 0;
    };
    // Blocks grow with the result, so that a short one holds little and a long one few blocks.
    static constexpr size_t kFirstChunk = 4 * 1024;
    static constexpr size_t kLargestChunk = 4 * 1024 * 1024;
    // The largest blocks are whole huge pages of the system: a long list is touched with a few
    // hundred page faults rather than a hundred thousand.
    static constexpr size_t kHugePage = 2 * 1024 * 1024;
    struct FreeChunk {
        void operator()(char *chunk) const { std::free(chunk); }
    };

    static char *allocateChunk(size_t bytes);
    char *reserve(size_t bytes);
    const char *cell(int row, int column) const;
    int cellSize(const Column &column, const char *data) const;
    QVariant decode(const Column &column, const char *data, const ConnectionCharset &charset) const;

    QVector<Column> m_columns;
    std::vector<std::unique_ptr<char[], FreeChunk>> m_chunks;
    size_t m_chunkBytes = 0;
    size_t m_used = 0;
    qint64 m_allocated = 0;
    QVector<const char *> m_rows;
    QVector<QVariant> m_blobs;
};
