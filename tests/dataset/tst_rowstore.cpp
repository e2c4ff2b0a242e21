#include "RowStore.h"

#include <QTest>
#include <optional>
#include <string>
#include <vector>

using dataset::RawValue;
using dataset::RowStore;

namespace {

using Row = std::vector<std::optional<std::string>>;
using Rows = std::vector<Row>;

// count rows of columns values; value lengths cycle through lengths, and every
// seventh value is NULL. The salt makes different contents of the same shape.
Rows makeRows(int count, int columns, const std::vector<int> &lengths, char salt)
{
    Rows rows;
    int n = 0;
    for (int r = 0; r < count; ++r) {
        Row row;
        for (int c = 0; c < columns; ++c, ++n) {
            if (n % 7 == 3)
                row.push_back(std::nullopt);
            else
                row.push_back(std::string(std::size_t(lengths[std::size_t(n) % lengths.size()]),
                                          char(salt + n % 23)));
        }
        rows.push_back(row);
    }
    return rows;
}

std::size_t fill(RowStore &store, const Rows &rows)
{
    std::size_t bytes = 0;
    for (const Row &row : rows) {
        std::vector<RawValue> values;
        for (const auto &value : row) {
            values.push_back(value ? RawValue{*value, false} : RawValue{});
            bytes += value ? value->size() : 0;
        }
        store.append(values.data());
    }
    return bytes;
}

bool holds(const RowStore &store, const Rows &rows)
{
    if (store.rowCount() != int(rows.size()))
        return false;
    std::vector<RawValue> values;
    for (int r = 0; r < store.rowCount(); ++r) {
        store.values(r, values);
        for (int c = 0; c < store.columnCount(); ++c) {
            const auto &expected = rows[std::size_t(r)][std::size_t(c)];
            for (const RawValue &value : {store.value(r, c), values[std::size_t(c)]})
                if (value.isNull != !expected || (expected && value.text != *expected))
                    return false;
        }
    }
    return true;
}

} // namespace

class TestRowStore : public QObject
{
    Q_OBJECT
private slots:
    void keepsEveryValue_data();
    void keepsEveryValue();
};

void TestRowStore::keepsEveryValue_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("columns");
    QTest::addColumn<std::vector<int>>("lengths");
    QTest::newRow("empty and short values") << 50 << 3 << std::vector<int>{0, 1, 2, 0, 5};
    QTest::newRow("lengths around the varint steps")
        << 40 << 4 << std::vector<int>{126, 127, 128, 16383, 16384, 0};
    QTest::newRow("rows across many chunks") << 30000 << 16 << std::vector<int>{3, 12, 40, 7, 0};
    QTest::newRow("a value larger than a chunk") << 3 << 2 << std::vector<int>{3 << 20, 10};
}

// Rows read back exactly as appended, NULL apart from empty text, also after
// the store has been refilled in the memory of an earlier result, and after
// single rows have been replaced or removed.
void TestRowStore::keepsEveryValue()
{
    QFETCH(int, count);
    QFETCH(int, columns);
    QFETCH(std::vector<int>, lengths);
    RowStore store(columns);
    const Rows first = makeRows(count, columns, lengths, 'a');
    const std::size_t firstBytes = fill(store, first);
    QCOMPARE(store.textBytes(), firstBytes);
    QVERIFY(holds(store, first));

    store.recycle(columns + 1);
    std::vector<int> longer(lengths);
    for (int &length : longer)
        ++length;
    Rows second = makeRows(count, columns + 1, longer, 'A');
    const std::size_t secondBytes = fill(store, second);
    QCOMPARE(store.textBytes(), secondBytes);
    store.releaseSpare();
    QVERIFY(holds(store, second));

    const Row replacement = makeRows(1, columns + 1, {9}, '0').front();
    std::vector<RawValue> values;
    for (const auto &value : replacement)
        values.push_back(value ? RawValue{*value, false} : RawValue{});
    store.replace(0, values.data());
    second.front() = replacement;
    store.appendNulls();
    second.push_back(Row(std::size_t(columns + 1)));
    store.remove(1);
    second.erase(second.begin() + 1);
    QVERIFY(holds(store, second));

    store.clear(columns);
    QCOMPARE(store.rowCount(), 0);
    QCOMPARE(store.textBytes(), std::size_t(0));
}

QTEST_GUILESS_MAIN(TestRowStore)
#include "tst_rowstore.moc"
