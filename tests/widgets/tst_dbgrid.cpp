#include "Application.h"
#include "CardStore.h"
#include "CardTable.h"
#include "Connection.h"
#include "DBGrid.h"
#include "DataSource.h"
#include "Query.h"
#include "TestSupport.h"

#include <QHeaderView>
#include <QTest>
#include <algorithm>

using dataset::FieldDef;
using dataset::TextKind;
using testsupport::card;
using widgets::Application;

// The grid's columns: one per visible field, titled with the field's label,
// as wide as the display width in digits of the cell font but never narrower
// than the title in the title font.
class TestDBGrid : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void columns_data();
    void columns();
    void leavingNewRow_data();
    void leavingNewRow();
};

void TestDBGrid::initTestCase()
{
    Application::instance().requireAnswers(true);
}

void TestDBGrid::cleanup()
{
    const QStringList failures = Application::instance().takeBoxFailures();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
}

void TestDBGrid::columns_data()
{
    QTest::addColumn<int>("cellPoints");
    QTest::addColumn<int>("titlePoints");

    QTest::newRow("one font") << 8 << 8;
    QTest::newRow("large font") << 20 << 20;
    QTest::newRow("large titles") << 8 << 20;
}

void TestDBGrid::columns()
{
    QFETCH(int, cellPoints);
    QFETCH(int, titlePoints);

    const testsupport::TempCardFile file({card({{"Name", "张三"}, {"Del", "否"}})});
    dataset::Connection connection;
    connection.ConnectionString = store::connectionString(file.path());
    dataset::Query query(QStringLiteral("ADOQuery1"), &connection);
    query.SQL->Add(QStringLiteral("select * from Dept"));
    // Digits win; the title wins over a narrow display width; a field with no
    // label is titled by its column; a hidden field has no column.
    query.AddField(FieldDef{"F1", "Name", TextKind::Wide, 12, "姓名", 12, true});
    query.AddField(FieldDef{"F2", "Del", TextKind::Wide, 2, "删除标记", 0, true});
    query.AddField(FieldDef{"F3", "WWW", TextKind::Wide, 30, "", 1, true});
    query.AddField(FieldDef{"F4", "City", TextKind::Narrow, 10, "城市", 10, false});
    widgets::DataSource source(QStringLiteral("DataSource1"), &query, nullptr);

    widgets::DBGrid grid;
    const QFont cellFont(QStringLiteral("Arial"), cellPoints);
    const QFont titleFont(QStringLiteral("Arial"), titlePoints);
    grid.setFont(cellFont);
    grid.horizontalHeader()->setFont(titleFont);
    grid.setDataSource(&source);
    query.Open();

    const QFontMetrics cells(cellFont);
    const QFontMetrics titles(titleFont);
    const int digit = cells.horizontalAdvance(QLatin1Char('0'));
    const struct
    {
        QString title;
        int displayWidth;
    } expected[] = {
        {QStringLiteral("姓名"), 12}, {QStringLiteral("删除标记"), 2}, {QStringLiteral("WWW"), 1}};
    QCOMPARE(grid.model()->columnCount(), 3);
    bool titleWon = false;
    for (int c = 0; c < 3; ++c) {
        const auto &[title, displayWidth] = expected[c];
        QCOMPARE(grid.model()->headerData(c, Qt::Horizontal).toString(), title);
        const int byDigits = displayWidth * digit + 4;
        const int byTitle = titles.horizontalAdvance(title) + 4;
        titleWon = titleWon || byTitle > byDigits;
        QCOMPARE(grid.columnWidth(c), std::max(byDigits, byTitle));
    }
    QVERIFY(titleWon);
    QCOMPARE(grid.model()->index(0, 0).data().toString(), QStringLiteral("张三"));
}

void TestDBGrid::leavingNewRow_data()
{
    QTest::addColumn<QString>("leave");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("rowsInFile");

    QTest::newRow("cancelled, untouched") << "Cancel"
                                          << "" << 2;
    QTest::newRow("cancelled, typed") << "Cancel"
                                      << "赵六" << 2;
    QTest::newRow("moved away, untouched") << "First"
                                           << "" << 2;
    QTest::newRow("moved away, typed") << "First"
                                       << "赵六" << 3;
}

// The grid shows a new row as its current row. When the row goes away
// (cancelled, or dropped by a move), the grid's own following of the removal
// must not start a second move or cancel of its own.
void TestDBGrid::leavingNewRow()
{
    QFETCH(QString, leave);
    QFETCH(QString, typed);
    QFETCH(int, rowsInFile);

    const testsupport::TempCardFile file(
        {card({{"Name", "张三"}, {"Del", "否"}}), card({{"Name", "李四"}, {"Del", "否"}})});
    dataset::Connection connection;
    connection.ConnectionString = store::connectionString(file.path());
    dataset::Query query(QStringLiteral("ADOQuery1"), &connection);
    query.SQL->Add(store::baseStatement);
    store::declareCardFields(query);
    widgets::DataSource source(QStringLiteral("DataSource1"), &query, nullptr);
    widgets::DBGrid grid;
    grid.setDataSource(&source);
    query.Open();
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    query.Append();
    QCOMPARE(grid.currentIndex().row(), 2);
    if (!typed.isEmpty())
        query.FieldByName(QStringLiteral("Name"))->SetAsString(typed);
    if (leave == QLatin1String("Cancel"))
        query.Cancel();
    else
        query.First();

    QCOMPARE(query.state(), dataset::Query::State::Browse);
    QCOMPARE(query.rowCount(), rowsInFile);
    QCOMPARE(grid.model()->rowCount(), rowsInFile);
    QCOMPARE(grid.currentIndex().row(), query.currentRow());
    QCOMPARE(testsupport::rows(file.path(), QStringLiteral("select count(*) from Dept")),
             (QList<QStringList>{{QString::number(rowsInFile)}}));
}

QTEST_MAIN(TestDBGrid)
#include "tst_dbgrid.moc"
