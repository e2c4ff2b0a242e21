// tools::createCardFile and the test helpers built on it.

#include "DemoCards.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using testsupport::card;
using testsupport::null;
using testsupport::rows;
using tools::Card;
using tools::CardFileError;

namespace {

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden |
                                  QDir::System);
}

QString repeated(const QString &text, int count)
{
    return text.repeated(count);
}

} // namespace

Q_DECLARE_METATYPE(Card)

class TestCardFile : public QObject
{
    Q_OBJECT

private slots:
    void cardsAreWrittenInOrderWithNullAndEmptyApart();
    void valuesAtTheirSizeFit_data();
    void valuesAtTheirSizeFit();
    void valuesBeyondTheirSizeAreRefused_data();
    void valuesBeyondTheirSizeAreRefused();
    void cardWithoutFifteenValuesIsRefused();
    void existingPathIsLeftAsItIs_data();
    void existingPathIsLeftAsItIs();
    void tempCardFileLiesInDateBesideTheFolder();
    void cardHelperRefusesAnUnknownColumn();
    void demoCardsAllFit();
};

void TestCardFile::cardsAreWrittenInOrderWithNullAndEmptyApart()
{
    testsupport::TempCardFile file({card({{"Name", "张三"}, {"Fax", ""}, {"del", "否"}}),
                                    card({{"Name", "李四"}, {"Fax", "010-62751234"}})});
    QCOMPARE(
        rows(file.path(), QStringLiteral("select ID, Name, Fax, Dept, Del from Dept order by ID")),
        (QList<QStringList>{{"1", "张三", "", null, "否"},
                            {"2", "李四", "010-62751234", null, null}}));
}

void TestCardFile::valuesAtTheirSizeFit_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::newRow("Name, 12 characters") << "Name" << repeated("张", 12);
    QTest::newRow("Part, 5 Chinese characters") << "Part" << repeated("市", 5);
    QTest::newRow("Part, 2 ASCII + 4 Chinese") << "Part"
                                               << "IT" + repeated("部", 4);
    QTest::newRow("Job, 4-byte character + 3 Chinese") << "Job" << QString::fromUtf8("𠀀经理人");
    QTest::newRow("HAddress, 15 Chinese characters") << "HAddress" << repeated("路", 15);
    QTest::newRow("Des, 200 characters") << "Des" << repeated("营", 200);
    QTest::newRow("Del, 2 characters") << "Del"
                                       << "否否";
}

void TestCardFile::valuesAtTheirSizeFit()
{
    QFETCH(QString, column);
    QFETCH(QString, value);
    testsupport::TempCardFile file({card({{column, value}})});
    QCOMPARE(rows(file.path(), QStringLiteral("select %1 from Dept").arg(column)),
             (QList<QStringList>{{value}}));
}

void TestCardFile::valuesBeyondTheirSizeAreRefused_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::newRow("Name, 13 characters") << "Name" << repeated("张", 13);
    QTest::newRow("Name, 11 characters + a surrogate pair")
        << "Name" << repeated("张", 11) + QString::fromUtf8("𠀀");
    QTest::newRow("Part, 6 Chinese characters") << "Part" << repeated("市", 6);
    QTest::newRow("Part, 11 ASCII characters") << "Part"
                                               << "Engineering";
    QTest::newRow("Job, 4-byte character + 4 Chinese") << "Job" << QString::fromUtf8("𠀀总经理人");
    QTest::newRow("HAddress, 16 Chinese characters") << "HAddress" << repeated("路", 16);
    QTest::newRow("Des, 201 characters") << "Des" << repeated("营", 201);
    QTest::newRow("Del, 3 characters") << "Del"
                                       << "否否否";
}

void TestCardFile::valuesBeyondTheirSizeAreRefused()
{
    QFETCH(QString, column);
    QFETCH(QString, value);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Date/crm.mdb"));
    const std::vector<Card> cards{card({{"Name", "王五"}}), card({{column, value}})};
    try {
        tools::createCardFile(path, cards);
        QFAIL("no error");
    } catch (const CardFileError &error) {
        QVERIFY2(error.message().startsWith(
                     QStringLiteral("Card 2 of 2 does not fit table Dept: %1 ").arg(column)),
                 qPrintable(error.message()));
    }
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(entries(folder.path()), QStringList());
}

void TestCardFile::cardWithoutFifteenValuesIsRefused()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("crm.mdb"));
    QVERIFY_THROWS_EXCEPTION(CardFileError, tools::createCardFile(path, {Card(14)}));
    QVERIFY_THROWS_EXCEPTION(CardFileError, tools::createCardFile(path, {Card(16)}));
    QCOMPARE(entries(folder.path()), QStringList());
}

void TestCardFile::existingPathIsLeftAsItIs_data()
{
    QTest::addColumn<bool>("danglingLink");
    QTest::newRow("file") << false;
    QTest::newRow("link to nowhere") << true;
}

void TestCardFile::existingPathIsLeftAsItIs()
{
    QFETCH(bool, danglingLink);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("crm.mdb"));
    const QByteArray bytes("some bytes that are not a card file");
    if (danglingLink) {
        QVERIFY(QFile::link(folder.filePath(QStringLiteral("nowhere")), path));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    try {
        tools::createCardFile(path, {card({{"Name", "赵六"}})});
        QFAIL("no error");
    } catch (const CardFileError &error) {
        QCOMPARE(error.message(),
                 QStringLiteral("'%1' already exists; it was left as it is").arg(path));
    }
    QCOMPARE(entries(folder.path()), QStringList{"crm.mdb"});
    if (danglingLink) {
        QCOMPARE(QFileInfo(path).symLinkTarget(), folder.filePath(QStringLiteral("nowhere")));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
    }
}

void TestCardFile::tempCardFileLiesInDateBesideTheFolder()
{
    testsupport::TempCardFile file;
    QCOMPARE(file.path(), file.folder() + QStringLiteral("/Date/crm.mdb"));
    QCOMPARE(rows(file.path(), QStringLiteral("select count(*) from Dept")),
             (QList<QStringList>{{"0"}}));
    testsupport::exec(file.path(),
                      QStringLiteral("alter table Dept add column Extra text; "
                                     "insert into Dept (Name, Extra) values ('甲', 'x')"));
    QCOMPARE(rows(file.path(), QStringLiteral("select Name, Extra, Del from Dept")),
             (QList<QStringList>{{"甲", "x", "否"}}));
}

void TestCardFile::cardHelperRefusesAnUnknownColumn()
{
    QTest::ignoreMessage(QtWarningMsg, "testsupport::card: no column named 'Mobile'");
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, card({{"Mobile", "13901012345"}}));
}

void TestCardFile::demoCardsAllFit()
{
    const std::vector<Card> cards = tools::demoCards();
    QVERIFY(cards.size() >= 25 && cards.size() <= 40);
    for (const Card &demo : cards) {
        QCOMPARE(demo.size(), std::size_t(15));
        QVERIFY2(tools::cardFault(demo).isEmpty(), qPrintable(tools::cardFault(demo)));
    }
}

QTEST_GUILESS_MAIN(TestCardFile)
#include "TestCardFile.moc"
