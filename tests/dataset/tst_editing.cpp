#include "SqliteFile.h"

#include "CardTable.h"

#include <QSignalSpy>
#include <QTest>

using dataset::Query;
using datasettest::CardQuery;
using datasettest::errorOf;
using datasettest::nullText;
using datasettest::SqliteFile;

namespace {

// Three live cards with keys 1, 2, 3.
void addThreeCards(const SqliteFile &file)
{
    QVERIFY(file.exec(QStringLiteral("insert into Dept (ID, Name, Dept, City) values "
                                     "(1, '甲', '甲公司', '北京'), (2, '乙', '乙公司', '上海'), "
                                     "(3, '丙', '丙公司', '广州')"))
                .isEmpty());
}

// Puts the set into the named state on its middle row: "edit" edits it,
// "insert" appends a new row after it.
void startChange(CardQuery &cards, const QString &start)
{
    cards->MoveTo(1);
    if (start == QLatin1String("edit"))
        cards->Edit();
    else
        cards->Append();
}

void move(CardQuery &cards, const QString &how)
{
    if (how == QLatin1String("First"))
        cards->First();
    else if (how == QLatin1String("Prior"))
        cards->Prior();
    else if (how == QLatin1String("Next"))
        cards->Next();
    else if (how == QLatin1String("Last"))
        cards->Last();
    else if (how == QLatin1String("MoveTo"))
        cards->MoveTo(0);
    else if (how == QLatin1String("Append"))
        cards->Append();
    else if (how == QLatin1String("Post"))
        cards->Post();
    else if (how == QLatin1String("Cancel"))
        cards->Cancel();
    else if (how == QLatin1String("Close"))
        cards->Close();
    else
        QFAIL("unknown operation");
}

const QStringList cardColumnNames = [] {
    QStringList names;
    for (const dataset::FieldDef &column : store::cardColumns())
        names.append(column.fieldName);
    return names;
}();

// The card table without its key column: rows are then found by their values.
QString keylessTable()
{
    QString create = store::createTableStatement();
    create.remove(QStringLiteral("ID INTEGER PRIMARY KEY, "));
    return create;
}

} // namespace

class TestEditing : public QObject
{
    Q_OBJECT
private slots:
    void closeDropsPendingChange_data();
    void closeDropsPendingChange();
    void moveSettlesPendingChange_data();
    void moveSettlesPendingChange();
    void updateRecordComesBeforeTheWrite_data();
    void updateRecordComesBeforeTheWrite();
    void newRowWritesOnlyAssignedFields();
    void postedRowStaysUntilNextLoad_data();
    void postedRowStaysUntilNextLoad();
    void onNewRecordValueIsNoChange();
    void onNewRecordValueIsWritten();
    void nullStaysNullUnlessAssigned();
    void conflictingChangeIsRefused_data();
    void conflictingChangeIsRefused();
    void tableWithoutKeyUpdatesOneRow();
    void storeRefusalKeepsTheChange_data();
    void storeRefusalKeepsTheChange();
};

void TestEditing::closeDropsPendingChange_data()
{
    QTest::addColumn<QString>("start");
    QTest::newRow("edit") << QStringLiteral("edit");
    QTest::newRow("insert") << QStringLiteral("insert");
}

void TestEditing::closeDropsPendingChange()
{
    QFETCH(QString, start);
    SqliteFile file;
    addThreeCards(file);
    CardQuery cards(file.connectionString());
    cards->Open();
    startChange(cards, start);
    cards.set(QStringLiteral("Name"), QStringLiteral("未存"));
    const QString before = file.dump();
    QSignalSpy updateRecord(&cards.query, &Query::updateRecord);

    QCOMPARE(errorOf([&] { cards->Close(); }), QString());

    QCOMPARE(cards->state(), Query::State::Inactive);
    QCOMPARE(updateRecord.count(), 0);
    QCOMPARE(file.dump(), before);
    cards->Open();
    QCOMPARE(cards->RecordCount(), 3);
}

void TestEditing::moveSettlesPendingChange_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("changed");
    for (const char *start : {"edit", "insert"})
        for (const char *how : {"First", "Prior", "Next", "Last", "MoveTo", "Append"})
            for (bool changed : {true, false})
                QTest::addRow("%s, %s, %s", start, how, changed ? "changed" : "untouched")
                    << QString::fromLatin1(start) << QString::fromLatin1(how) << changed;
}

void TestEditing::moveSettlesPendingChange()
{
    QFETCH(QString, start);
    QFETCH(QString, how);
    QFETCH(bool, changed);
    SqliteFile file;
    addThreeCards(file);
    CardQuery cards(file.connectionString());
    cards->Open();
    startChange(cards, start);
    const int changedRow = cards->currentRow();
    if (changed)
        cards.set(QStringLiteral("Name"), QStringLiteral("改过"));
    const QString before = file.dump();

    move(cards, how);

    const bool inserted = start == QLatin1String("insert");
    const bool appended = how == QLatin1String("Append");
    QCOMPARE(cards->state(), appended ? Query::State::Insert : Query::State::Browse);
    QCOMPARE(cards->rowCount(), 3 + (inserted && changed ? 1 : 0) + (appended ? 1 : 0));
    const dataset::Field *name = cards->FieldByName(QStringLiteral("Name"));
    if (!changed) {
        QCOMPARE(file.dump(), before);
        if (!inserted)
            QCOMPARE(cards->cellText(changedRow, name), QStringLiteral("乙"));
        return;
    }
    QCOMPARE(cards->cellText(changedRow, name), QStringLiteral("改过"));
    if (inserted)
        QCOMPARE(file.select(QStringLiteral("select ID, Name, Dept from Dept where ID > 3")),
                 QStringLiteral("4|改过|") + nullText);
    else
        QCOMPARE(file.select(QStringLiteral("select ID, Name, Dept from Dept where Name = '改过'")),
                 QStringLiteral("2|改过|乙公司"));
}

// A bound control hands its typed text over when the set asks for it; the
// text must reach the file with the write that follows, and never without one.
void TestEditing::updateRecordComesBeforeTheWrite_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("written");
    for (const char *start : {"edit", "insert"}) {
        for (const char *how : {"Post", "Next", "Last", "Append"})
            QTest::addRow("%s, %s", start, how)
                << QString::fromLatin1(start) << QString::fromLatin1(how) << true;
        for (const char *how : {"Cancel", "Close"})
            QTest::addRow("%s, %s", start, how)
                << QString::fromLatin1(start) << QString::fromLatin1(how) << false;
    }
}

void TestEditing::updateRecordComesBeforeTheWrite()
{
    QFETCH(QString, start);
    QFETCH(QString, how);
    QFETCH(bool, written);
    SqliteFile file;
    addThreeCards(file);
    CardQuery cards(file.connectionString());
    cards->Open();
    startChange(cards, start);
    QSignalSpy updateRecord(&cards.query, &Query::updateRecord);
    QObject::connect(&cards.query, &Query::updateRecord, &cards.query,
                     [&] { cards.set(QStringLiteral("Name"), QStringLiteral("控件")); });
    const QString before = file.dump();

    move(cards, how);

    QCOMPARE(updateRecord.count(), written ? 1 : 0);
    const QString stored =
        file.select(QStringLiteral("select count(*) from Dept where Name = '控件'"));
    if (written)
        QCOMPARE(stored, QStringLiteral("1"));
    else
        QCOMPARE(file.dump(), before);
}

void TestEditing::newRowWritesOnlyAssignedFields()
{
    SqliteFile file;
    addThreeCards(file);
    CardQuery cards(file.connectionString());
    cards->Open();
    cards->Append();
    cards.set(QStringLiteral("Name"), QStringLiteral("新人"));
    cards.set(QStringLiteral("Moblio"), QStringLiteral("13900000000"));
    cards.set(QStringLiteral("Des"), QString());

    cards->Post();

    QStringList expected(cardColumnNames.size(), nullText);
    expected[cardColumnNames.indexOf(QStringLiteral("Name"))] = QStringLiteral("新人");
    expected[cardColumnNames.indexOf(QStringLiteral("Moblio"))] = QStringLiteral("13900000000");
    expected[cardColumnNames.indexOf(QStringLiteral("Des"))] = QString();
    expected[cardColumnNames.indexOf(QStringLiteral("Del"))] = store::liveFlag;
    QCOMPARE(file.select(QStringLiteral("select %1 from Dept where ID = 4")
                             .arg(cardColumnNames.join(QLatin1Char(',')))),
             expected.join(QLatin1Char('|')));
    // The row shows what the file holds, the table's default included.
    QCOMPARE(cards->state(), Query::State::Browse);
    QCOMPARE(cards->currentRow(), 3);
    QCOMPARE(cards.text(QStringLiteral("Del")), store::liveFlag);
    QVERIFY(cards->FieldByName(QStringLiteral("City"))->IsNull());
    QVERIFY(!cards->FieldByName(QStringLiteral("Des"))->IsNull());
}

void TestEditing::postedRowStaysUntilNextLoad_data()
{
    closeDropsPendingChange_data();
}

void TestEditing::postedRowStaysUntilNextLoad()
{
    QFETCH(QString, start);
    SqliteFile file;
    addThreeCards(file);
    CardQuery cards(file.connectionString());
    cards->Open();
    startChange(cards, start);
    const int row = cards->currentRow();
    const int count = cards->RecordCount();
    cards.set(QStringLiteral("Name"), QStringLiteral("已删"));
    cards.set(QStringLiteral("Del"), store::deletedFlag);

    cards->Post();

    QCOMPARE(cards->RecordCount(), count);
    QCOMPARE(cards->currentRow(), row);
    QCOMPARE(cards.text(QStringLiteral("Name")), QStringLiteral("已删"));
    QCOMPARE(cards.text(QStringLiteral("Del")), store::deletedFlag);
    cards.reload();
    QCOMPARE(cards->RecordCount(), count - 1);
    QCOMPARE(file.select(QStringLiteral("select Del from Dept where Name = '已删'")),
             store::deletedFlag);
}

void TestEditing::onNewRecordValueIsNoChange()
{
    SqliteFile file;
    addThreeCards(file);
    CardQuery cards(file.connectionString());
    cards->OnNewRecord = [&] { cards.set(QStringLiteral("City"), QStringLiteral("深圳")); };
    cards->Open();
    const QString before = file.dump();

    cards->Append();
    QCOMPARE(cards.text(QStringLiteral("City")), QStringLiteral("深圳"));
    QVERIFY(!cards->Modified());
    cards->First();

    QCOMPARE(cards->state(), Query::State::Browse);
    QCOMPARE(cards->RecordCount(), 3);
    QCOMPARE(file.dump(), before);
}

void TestEditing::onNewRecordValueIsWritten()
{
    SqliteFile file;
    CardQuery cards(file.connectionString());
    cards->OnNewRecord = [&] { cards.set(QStringLiteral("City"), QStringLiteral("深圳")); };
    cards->Open();

    cards->Append();
    cards.set(QStringLiteral("Name"), QStringLiteral("新人"));
    cards->Post();

    QCOMPARE(file.select(QStringLiteral("select Name, City from Dept")),
             QStringLiteral("新人|深圳"));
}

void TestEditing::nullStaysNullUnlessAssigned()
{
    SqliteFile file;
    QVERIFY(file.exec(QStringLiteral("insert into Dept (ID, Name, Part, Job, Del) "
                                     "values (1, '甲', NULL, '', '否')"))
                .isEmpty());
    CardQuery cards(file.connectionString());
    cards->Open();
    const dataset::Field *part = cards->FieldByName(QStringLiteral("Part"));
    const dataset::Field *job = cards->FieldByName(QStringLiteral("Job"));
    QCOMPARE(part->AsString(), QString());
    QVERIFY(part->IsNull());
    QVERIFY(!job->IsNull());

    cards->Edit();
    cards.set(QStringLiteral("Name"), QStringLiteral("乙"));
    cards->Post();

    QCOMPARE(file.select(QStringLiteral("select Name, Part, Job from Dept")),
             QStringLiteral("乙|%1|").arg(nullText));
    QVERIFY(part->IsNull());
}

void TestEditing::conflictingChangeIsRefused_data()
{
    QTest::addColumn<bool>("keyed");
    QTest::addColumn<QString>("otherChange");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("stored");
    for (bool keyed : {true, false}) {
        const char *table = keyed ? "with key" : "without key";
        QTest::addRow("%s: same column changed", table)
            << keyed << QStringLiteral("update Dept set Name = '别人' where Name = '乙'") << true
            << QStringLiteral("别人|乙公司");
        QTest::addRow("%s: row removed", table)
            << keyed << QStringLiteral("delete from Dept where Name = '乙'") << true << QString();
        QTest::addRow("%s: row deleted as a card", table)
            << keyed << QStringLiteral("update Dept set Del = '是' where Name = '乙'") << !keyed
            << (keyed ? QStringLiteral("我的|乙公司") : QStringLiteral("乙|乙公司"));
        QTest::addRow("%s: other column changed", table)
            << keyed << QStringLiteral("update Dept set Dept = '新公司' where Name = '乙'")
            << !keyed << (keyed ? QStringLiteral("我的|新公司") : QStringLiteral("乙|新公司"));
    }
}

// The row is written where it was read, and only while it still holds what this
// program read: another program's change is never overwritten.
void TestEditing::conflictingChangeIsRefused()
{
    QFETCH(bool, keyed);
    QFETCH(QString, otherChange);
    QFETCH(bool, refused);
    QFETCH(QString, stored);
    const QString create = keyed ? store::createTableStatement() : keylessTable();
    QVERIFY(keyed || !create.contains(QStringLiteral("PRIMARY KEY")));
    SqliteFile file({create});
    QVERIFY(file.exec(QStringLiteral("insert into Dept (Name, Dept) values "
                                     "('甲', '甲公司'), ('乙', '乙公司'), ('丙', '丙公司')"))
                .isEmpty());
    CardQuery cards(file.connectionString());
    cards->Open();
    cards->MoveTo(1);
    QVERIFY(file.exec(otherChange).isEmpty());
    const QString afterOther = file.dump();

    cards->Edit();
    cards.set(QStringLiteral("Name"), QStringLiteral("我的"));
    const QString error = errorOf([&] { cards->Post(); });

    QCOMPARE(!error.isEmpty(), refused);
    QCOMPARE(file.select(QStringLiteral("select Name, Dept from Dept where Dept like '%公司' and "
                                        "Name not in ('甲', '丙')")),
             stored);
    if (!refused)
        return;
    QVERIFY2(!error.startsWith(QStringLiteral("ADOQuery1: ")), qPrintable(error));
    QCOMPARE(file.dump(), afterOther);
    QCOMPARE(cards->state(), Query::State::Edit);
    QCOMPARE(cards->currentRow(), 1);
    QCOMPARE(cards.text(QStringLiteral("Name")), QStringLiteral("我的"));
}

void TestEditing::tableWithoutKeyUpdatesOneRow()
{
    const QString create = keylessTable();
    QVERIFY(!create.contains(QStringLiteral("PRIMARY KEY")));
    SqliteFile file({create});
    QVERIFY(file.exec(QStringLiteral("insert into Dept (Name, Dept, Part) values "
                                     "('甲', '公司', NULL), ('甲', '公司', NULL)"))
                .isEmpty());
    CardQuery cards(file.connectionString());
    cards->Open();
    const QString names = QStringLiteral("select Name from Dept order by rowid");

    cards->Edit();
    cards.set(QStringLiteral("Name"), QStringLiteral("一"));
    cards->Post();
    QCOMPARE(file.select(names), QStringLiteral("一\n甲"));

    cards->Next();
    cards->Edit();
    cards.set(QStringLiteral("Name"), QStringLiteral("二"));
    cards->Post();
    QCOMPARE(file.select(names), QStringLiteral("一\n二"));
}

void TestEditing::storeRefusalKeepsTheChange_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("how");
    for (const char *start : {"edit", "insert"})
        for (const char *how : {"Post", "Next", "Append"})
            QTest::addRow("%s, %s", start, how)
                << QString::fromLatin1(start) << QString::fromLatin1(how);
}

void TestEditing::storeRefusalKeepsTheChange()
{
    QFETCH(QString, start);
    QFETCH(QString, how);
    SqliteFile file;
    addThreeCards(file);
    QVERIFY(file.exec(QStringLiteral("create trigger no_update before update on Dept "
                                     "begin select raise(abort, 'refused'); end; "
                                     "create trigger no_insert before insert on Dept "
                                     "begin select raise(abort, 'refused'); end"))
                .isEmpty());
    CardQuery cards(file.connectionString());
    cards->Open();
    startChange(cards, start);
    const Query::State state = cards->state();
    const int row = cards->currentRow();
    const int count = cards->rowCount();
    cards.set(QStringLiteral("Name"), QStringLiteral("拒绝"));
    const QString before = file.dump();

    QCOMPARE(errorOf([&] { move(cards, how); }), QStringLiteral("refused"));

    QCOMPARE(cards->state(), state);
    QCOMPARE(cards->currentRow(), row);
    QCOMPARE(cards->rowCount(), count);
    QCOMPARE(cards.text(QStringLiteral("Name")), QStringLiteral("拒绝"));
    QCOMPARE(file.dump(), before);
}

QTEST_GUILESS_MAIN(TestEditing)
#include "tst_editing.moc"
