#include "RowStore.h"

#include <algorithm>
#include <cstring>

namespace dataset {

namespace {

constexpr std::size_t chunkBytes = std::size_t(1) << 20;

// A value's length is stored as a varint of length + 1; 0 means NULL.
std::size_t varintSize(std::size_t v)
{
    std::size_t n = 1;
    while (v >= 0x80) {
        v >>= 7;
        ++n;
    }
    return n;
}

char *putVarint(char *out, std::size_t v)
{
    while (v >= 0x80) {
        *out++ = char((v & 0x7F) | 0x80);
        v >>= 7;
    }
    *out++ = char(v);
    return out;
}

const char *getVarint(const char *in, std::size_t &v)
{
    v = 0;
    int shift = 0;
    unsigned char byte;
    do {
        byte = static_cast<unsigned char>(*in++);
        v |= std::size_t(byte & 0x7F) << shift;
        shift += 7;
    } while (byte & 0x80);
    return in;
}

} // namespace

RowStore::RowStore(int columnCount) : m_columnCount(columnCount) {}

void RowStore::clear(int columnCount)
{
    recycle(columnCount);
    releaseSpare();
}

void RowStore::recycle(int columnCount)
{
    m_columnCount = columnCount;
    m_rows.clear();
    for (Chunk &chunk : m_chunks)
        m_spare.push_back(std::move(chunk));
    m_chunks.clear();
    m_free = nullptr;
    m_freeBytes = 0;
    m_textBytes = 0;
}

void RowStore::releaseSpare()
{
    m_spare.clear();
    m_spare.shrink_to_fit();
    if (m_rows.capacity() > 2 * m_rows.size())
        m_rows.shrink_to_fit();
}

const char *RowStore::store(const RawValue *values)
{
    std::size_t need = 0;
    for (int c = 0; c < m_columnCount; ++c) {
        const std::size_t code = values[c].isNull ? 0 : values[c].text.size() + 1;
        need += varintSize(code) + (values[c].isNull ? 0 : values[c].text.size());
    }
    if (need > m_freeBytes) {
        if (!m_spare.empty() && m_spare.back().size >= need) {
            m_chunks.push_back(std::move(m_spare.back()));
            m_spare.pop_back();
        } else {
            // Left uninitialised: every byte is written before it is read.
            const std::size_t size = std::max(chunkBytes, need);
            m_chunks.push_back({std::unique_ptr<char[]>(new char[size]), size});
        }
        m_free = m_chunks.back().data.get();
        m_freeBytes = m_chunks.back().size;
    }
    char *record = m_free;
    char *out = record;
    for (int c = 0; c < m_columnCount; ++c)
        out = putVarint(out, values[c].isNull ? 0 : values[c].text.size() + 1);
    for (int c = 0; c < m_columnCount; ++c) {
        if (!values[c].isNull && !values[c].text.empty()) {
            std::memcpy(out, values[c].text.data(), values[c].text.size());
            out += values[c].text.size();
            m_textBytes += values[c].text.size();
        }
    }
    m_free += need;
    m_freeBytes -= need;
    return record;
}

void RowStore::append(const RawValue *values)
{
    m_rows.push_back(store(values));
}

void RowStore::appendNulls()
{
    m_rows.push_back(nullptr);
}

void RowStore::replace(int row, const RawValue *values)
{
    m_rows[std::size_t(row)] = store(values);
}

void RowStore::remove(int row)
{
    m_rows.erase(m_rows.begin() + row);
}

RawValue RowStore::value(int row, int column) const
{
    const char *in = m_rows[std::size_t(row)];
    if (!in)
        return {};
    std::size_t offset = 0;
    std::size_t code = 0;
    std::size_t wanted = 0;
    for (int c = 0; c < m_columnCount; ++c) {
        in = getVarint(in, code);
        if (c < column)
            offset += code ? code - 1 : 0;
        else if (c == column)
            wanted = code;
    }
    if (wanted == 0)
        return {};
    return {std::string_view(in + offset, wanted - 1), false};
}

void RowStore::values(int row, std::vector<RawValue> &out) const
{
    out.assign(std::size_t(m_columnCount), RawValue{});
    const char *in = m_rows[std::size_t(row)];
    if (!in)
        return;
    std::vector<std::size_t> codes(static_cast<std::size_t>(m_columnCount));
    for (int c = 0; c < m_columnCount; ++c)
        in = getVarint(in, codes[std::size_t(c)]);
    for (int c = 0; c < m_columnCount; ++c) {
        const std::size_t code = codes[std::size_t(c)];
        if (code) {
            out[std::size_t(c)] = {std::string_view(in, code - 1), false};
            in += code - 1;
        }
    }
}

} // namespace dataset
