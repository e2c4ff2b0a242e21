#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace dataset {

// One value of a row as the store gave it: UTF-8 text, or NULL.
struct RawValue
{
    std::string_view text;
    bool isNull = true;
};

// The fetched rows of a result, kept compact: each row is one record in a
// chunked arena, its values' lengths as varints followed by their UTF-8 bytes.
// A million rows cost one pointer each plus their text.
class RowStore
{
public:
    explicit RowStore(int columnCount = 0);

    int columnCount() const { return m_columnCount; }
    int rowCount() const { return int(m_rows.size()); }
    // Empties the store and frees its memory.
    void clear(int columnCount);
    // Empties the store but keeps its memory for the rows appended next: a
    // reload of a result refills the same memory instead of freeing it and
    // having the system hand out (and clear) fresh pages again.
    void recycle(int columnCount);
    // Frees the memory kept by recycle() that the rows since have not taken.
    void releaseSpare();

    // Appends a row; values has columnCount entries.
    void append(const RawValue *values);
    // Appends a row of NULLs.
    void appendNulls();
    void replace(int row, const RawValue *values);
    void remove(int row);

    RawValue value(int row, int column) const;
    // Every value of a row, in column order.
    void values(int row, std::vector<RawValue> &out) const;

    // Bytes of text held (without the per-row bookkeeping).
    std::size_t textBytes() const { return m_textBytes; }

private:
    struct Chunk
    {
        std::unique_ptr<char[]> data;
        std::size_t size = 0;
    };

    const char *store(const RawValue *values);

    int m_columnCount;
    std::vector<const char *> m_rows; // nullptr: a row of NULLs
    std::vector<Chunk> m_chunks;
    std::vector<Chunk> m_spare; // kept by recycle(), taken before new ones
    char *m_free = nullptr;
    std::size_t m_freeBytes = 0;
    std::size_t m_textBytes = 0;
};

} // namespace dataset
