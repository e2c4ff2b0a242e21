#include "Application.h"
#include "Query.h"
#include "TestSupport.h"
#include "TfrmMain.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QTest>
#include <memory>

using testsupport::TempCardFile;
using widgets::Application;

namespace {

constexpr int cardCount = 1000000;
constexpr int gridColumnCount = 14;

} // namespace

// The grid over a million cards reads only the rows it shows.
class TestManyCards : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void gridReadsOnlyShownRows();

private:
    std::unique_ptr<TempCardFile> m_file;
};

void TestManyCards::initTestCase()
{
    Application::instance().requireAnswers(true);
    QElapsedTimer timer;
    timer.start();
    m_file = std::make_unique<TempCardFile>();
    testsupport::exec(
        m_file->path(),
        QStringLiteral("WITH RECURSIVE c(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM c "
                       "WHERE i < %1) "
                       "INSERT INTO Dept(Name, Dept, JPhone, JAddress, Del) "
                       "SELECT '名片' || i, '单位' || i, '010-' || i, '地址' || i, "
                       "'否' FROM c")
            .arg(cardCount - 1));
    qInfo("card file of %d cards made in %lld ms", cardCount, timer.elapsed());
}

void TestManyCards::cleanup()
{
    const QStringList failures = Application::instance().takeBoxFailures();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
}

void TestManyCards::gridReadsOnlyShownRows()
{
    QElapsedTimer timer;
    timer.start();
    TfrmMain window(m_file->folder() + QStringLiteral("/namecards"));
    qInfo("window over %d cards made in %lld ms", cardCount, timer.restart());
    QCOMPARE(window.StatusBar1->panelText(6), QString::number(cardCount));

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const widgets::DBGrid *grid = window.DBGrid1;
    const widgets::DBGridModel *model = grid->gridModel();
    QTRY_VERIFY(model->cellsRead() > 0);
    QCoreApplication::processEvents();
    const long long shownIn = timer.restart();

    // At most the rows on the screen (the last one maybe cut) and one more,
    // in every column.
    const int rowsShown =
        grid->viewport()->height() / grid->verticalHeader()->defaultSectionSize() + 1;
    const long long screenful = (rowsShown + 1) * gridColumnCount;
    const long long afterOpen = model->cellsRead();
    qInfo("window shown in %lld ms: %d rows on the screen, %lld cells read", shownIn, rowsShown,
          afterOpen);
    QVERIFY2(
        afterOpen <= screenful,
        qPrintable(QStringLiteral("%1 cells read to show %2 rows").arg(afterOpen).arg(rowsShown)));

    window.ADOQuery1->Last();
    QTRY_COMPARE(grid->currentIndex().row(), cardCount - 1);
    QTRY_VERIFY(model->cellsRead() > afterOpen);
    QCoreApplication::processEvents();
    const long long afterLast = model->cellsRead() - afterOpen;
    qInfo("moved to the last card in %lld ms, %lld cells read", timer.restart(), afterLast);
    QVERIFY2(afterLast <= screenful,
             qPrintable(QStringLiteral("%1 cells read to show the last %2 rows")
                            .arg(afterLast)
                            .arg(rowsShown)));

    QVERIFY(grid->viewport()->rect().contains(grid->visualRect(grid->currentIndex())));
    QCOMPARE(model->headerData(cardCount - 1, Qt::Vertical).toString(), QStringLiteral("▶"));
    QCOMPARE(window.DBEName->text(), QStringLiteral("名片%1").arg(cardCount - 1));
}

QTEST_MAIN(TestManyCards)
#include "tst_manycards.moc"
