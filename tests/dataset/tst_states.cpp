#include "SqliteFile.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <vector>

using dataset::Query;
using datasettest::CardQuery;
using datasettest::errorOf;
using datasettest::SqliteFile;

Q_DECLARE_METATYPE(Query::State)

namespace {

const QString closedError =
    QStringLiteral("ADOQuery1: Cannot perform this operation on a closed dataset");
const QString modeError = QStringLiteral("ADOQuery1: Dataset not in edit or insert mode");

// Counts every signal the query emits.
class SignalCount
{
public:
    explicit SignalCount(const Query &query)
    {
        const QMetaObject &meta = Query::staticMetaObject;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
            if (meta.method(i).methodType() == QMetaMethod::Signal)
                m_spies.push_back(std::make_unique<QSignalSpy>(&query, meta.method(i)));
    }
    int total() const
    {
        int count = 0;
        for (const auto &spy : m_spies)
            count += int(spy->count());
        return count;
    }

private:
    std::vector<std::unique_ptr<QSignalSpy>> m_spies;
};

} // namespace

// Every operation the program uses on the card set, from every state the set
// can be in, with the pending change (if any) untouched.
class TestStates : public QObject
{
    Q_OBJECT
private slots:
    void operation_data();
    void operation();
};

void TestStates::operation_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("error");
    QTest::addColumn<Query::State>("after");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("current");
    QTest::addColumn<bool>("written");
    QTest::addColumn<bool>("quiet");

    using S = Query::State;
    const auto add = [](const char *start, const char *op, const QString &error, S after, int rows,
                        int current, bool written = false, bool quiet = false) {
        QTest::addRow("%s: %s", start, op)
            << QString::fromLatin1(start) << QString::fromLatin1(op) << error << after << rows
            << current << written << (quiet || !error.isEmpty());
    };
    const QString none;

    add("closed", "Close", none, S::Inactive, 0, -1, false, true);
    add("closed", "Edit", closedError, S::Inactive, 0, -1);
    add("closed", "Append", closedError, S::Inactive, 0, -1);
    add("closed", "RecordCount", closedError, S::Inactive, 0, -1);
    add("closed", "First", closedError, S::Inactive, 0, -1);
    add("closed", "Prior", closedError, S::Inactive, 0, -1);
    add("closed", "Next", closedError, S::Inactive, 0, -1);
    add("closed", "Last", closedError, S::Inactive, 0, -1);
    add("closed", "Post", modeError, S::Inactive, 0, -1);
    add("closed", "Cancel", none, S::Inactive, 0, -1, false, true);
    add("closed", "Assign", modeError, S::Inactive, 0, -1);

    // The browse, edit and insert cases start on the middle one of three rows.
    add("browse", "Close", none, S::Inactive, 0, -1);
    add("browse", "Edit", none, S::Edit, 3, 1);
    add("browse", "Append", none, S::Insert, 4, 3);
    add("browse", "RecordCount", none, S::Browse, 3, 1, false, true);
    add("browse", "First", none, S::Browse, 3, 0);
    add("browse", "Prior", none, S::Browse, 3, 0);
    add("browse", "Next", none, S::Browse, 3, 2);
    add("browse", "Last", none, S::Browse, 3, 2);
    add("browse", "Post", modeError, S::Browse, 3, 1);
    add("browse", "Cancel", none, S::Browse, 3, 1, false, true);
    add("browse", "Assign", modeError, S::Browse, 3, 1);

    add("edit", "Close", none, S::Inactive, 0, -1);
    add("edit", "Edit", none, S::Edit, 3, 1, false, true);
    add("edit", "Append", none, S::Insert, 4, 3);
    add("edit", "RecordCount", none, S::Edit, 3, 1, false, true);
    add("edit", "First", none, S::Browse, 3, 0);
    add("edit", "Prior", none, S::Browse, 3, 0);
    add("edit", "Next", none, S::Browse, 3, 2);
    add("edit", "Last", none, S::Browse, 3, 2);
    add("edit", "Post", none, S::Browse, 3, 1);
    add("edit", "Cancel", none, S::Browse, 3, 1);
    add("edit", "Assign", none, S::Edit, 3, 1);

    // The new row is appended after the three, from the middle one.
    add("insert", "Close", none, S::Inactive, 0, -1);
    add("insert", "Edit", none, S::Insert, 4, 3, false, true);
    add("insert", "Append", none, S::Insert, 4, 3);
    add("insert", "RecordCount", none, S::Insert, 4, 3, false, true);
    add("insert", "First", none, S::Browse, 3, 0);
    add("insert", "Prior", none, S::Browse, 3, 2);
    add("insert", "Next", none, S::Browse, 3, 2);
    add("insert", "Last", none, S::Browse, 3, 2);
    add("insert", "Post", none, S::Browse, 4, 3, true);
    add("insert", "Cancel", none, S::Browse, 3, 1);
    add("insert", "Assign", none, S::Insert, 4, 3);

    add("empty", "Close", none, S::Inactive, 0, -1);
    add("empty", "Edit", none, S::Insert, 1, 0);
    add("empty", "Append", none, S::Insert, 1, 0);
    add("empty", "RecordCount", none, S::Browse, 0, -1, false, true);
    add("empty", "First", none, S::Browse, 0, -1, false, true);
    add("empty", "Prior", none, S::Browse, 0, -1, false, true);
    add("empty", "Next", none, S::Browse, 0, -1, false, true);
    add("empty", "Last", none, S::Browse, 0, -1, false, true);
    add("empty", "Post", modeError, S::Browse, 0, -1);
    add("empty", "Cancel", none, S::Browse, 0, -1, false, true);
    add("empty", "Assign", modeError, S::Browse, 0, -1);
}

void TestStates::operation()
{
    QFETCH(QString, start);
    QFETCH(QString, op);
    QFETCH(QString, error);
    QFETCH(Query::State, after);
    QFETCH(int, rows);
    QFETCH(int, current);
    QFETCH(bool, written);
    QFETCH(bool, quiet);

    SqliteFile file;
    // A deleted card is never listed: "empty" opens on it alone.
    QVERIFY(
        file.exec(QStringLiteral("insert into Dept (Name, Del) values ('删', '是')")).isEmpty());
    if (start != QLatin1String("empty"))
        QVERIFY(file.exec(QStringLiteral("insert into Dept (Name) values ('甲'), ('乙'), ('丙')"))
                    .isEmpty());
    CardQuery cards(file.connectionString());
    if (start != QLatin1String("closed")) {
        cards->Open();
        if (start != QLatin1String("empty"))
            cards->MoveTo(1);
    }
    if (start == QLatin1String("edit"))
        cards->Edit();
    else if (start == QLatin1String("insert"))
        cards->Append();
    const QString before = file.dump();
    const SignalCount signalCount(cards.query);

    int counted = -1;
    const QString thrown = errorOf([&] {
        if (op == QLatin1String("Close"))
            cards->Close();
        else if (op == QLatin1String("Edit"))
            cards->Edit();
        else if (op == QLatin1String("Append"))
            cards->Append();
        else if (op == QLatin1String("RecordCount"))
            counted = cards->RecordCount();
        else if (op == QLatin1String("First"))
            cards->First();
        else if (op == QLatin1String("Prior"))
            cards->Prior();
        else if (op == QLatin1String("Next"))
            cards->Next();
        else if (op == QLatin1String("Last"))
            cards->Last();
        else if (op == QLatin1String("Post"))
            cards->Post();
        else if (op == QLatin1String("Cancel"))
            cards->Cancel();
        else if (op == QLatin1String("Assign"))
            cards.set(QStringLiteral("City"), QStringLiteral("上海"));
        else
            QFAIL("unknown operation");
    });

    QCOMPARE(thrown, error);
    QCOMPARE(cards->state(), after);
    QCOMPARE(cards->rowCount(), rows);
    QCOMPARE(cards->currentRow(), current);
    if (op == QLatin1String("RecordCount") && error.isEmpty())
        QCOMPARE(counted, rows);
    if (written)
        QVERIFY(file.dump() != before);
    else
        QCOMPARE(file.dump(), before);
    if (quiet)
        QCOMPARE(signalCount.total(), 0);
    else
        QVERIFY(signalCount.total() > 0);
}

QTEST_GUILESS_MAIN(TestStates)
#include "tst_states.moc"
