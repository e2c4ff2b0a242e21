// The card-file tool namecards-db, run as a process.

#include "TestSupport.h"

#include "TextSize.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using testsupport::null;
using testsupport::rows;

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runTool(const QStringList &arguments, const QString &workingFolder)
{
    QProcess process;
    process.setWorkingDirectory(workingFolder);
    process.start(QStringLiteral(NAMECARDS_DB_PATH), arguments);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QByteArray fileDigest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// The fifteen card columns as the program expects them: name, wide, size.
struct Column
{
    const char *name;
    bool wide;
    int size;
};
const Column expectedColumns[] = {
    {"Name", true, 12},      {"Dept", true, 30},   {"Part", false, 10},    {"Job", false, 10},
    {"JPhone", true, 15},    {"Fax", false, 15},   {"JAddress", true, 30}, {"City", false, 10},
    {"WWW", true, 30},       {"E_Mail", true, 30}, {"HPhone", false, 15},  {"Moblio", false, 15},
    {"HAddress", false, 30}, {"Des", true, 200},   {"Del", true, 2},
};

} // namespace

class TestNamecardsDb : public QObject
{
    Q_OBJECT

private slots:
    void helpPrintsUsage_data();
    void helpPrintsUsage();
    void usageErrorExitsTwo_data();
    void usageErrorExitsTwo();
    void createMakesTheCardTable();
    void delDefaultsToLive();
    void createMakesMissingFoldersAndLeavesNoTemporaryFile();
    void createRefusesAnExistingPath_data();
    void createRefusesAnExistingPath();
    void demoHasLiveDeletedAndEmptyFlagCards();
    void demoValuesFitTheirColumns();
};

void TestNamecardsDb::helpPrintsUsage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("--help") << QStringList{"--help"};
    QTest::newRow("-h") << QStringList{"-h"};
    QTest::newRow("create --help") << QStringList{"create", "--help"};
}

void TestNamecardsDb::helpPrintsUsage()
{
    QFETCH(QStringList, arguments);
    QTemporaryDir folder;
    const Run run = runTool(arguments, folder.path());
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.startsWith(QLatin1String("Usage: namecards-db create FILE [--demo]")),
             qPrintable(run.out));
    QCOMPARE(run.err, QString());
    QCOMPARE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
             QStringList());
}

void TestNamecardsDb::usageErrorExitsTwo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no command") << QStringList{};
    QTest::newRow("unknown command") << QStringList{"make", "crm.mdb"};
    QTest::newRow("create without FILE") << QStringList{"create"};
    QTest::newRow("create with --demo only") << QStringList{"create", "--demo"};
    QTest::newRow("unknown option") << QStringList{"create", "crm.mdb", "--force"};
    QTest::newRow("two files") << QStringList{"create", "a.mdb", "b.mdb"};
    QTest::newRow("empty FILE") << QStringList{"create", ""};
}

void TestNamecardsDb::usageErrorExitsTwo()
{
    QFETCH(QStringList, arguments);
    QTemporaryDir folder;
    const Run run = runTool(arguments, folder.path());
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(QLatin1String("Usage: namecards-db create FILE")),
             qPrintable(run.err));
    QCOMPARE(run.out, QString());
    QCOMPARE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
             QStringList());
}

void TestNamecardsDb::createMakesTheCardTable()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("crm.mdb"));
    const Run run = runTool({"create", path}, folder.path());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QString());

    // cid, name, type, notnull, default, pk
    QList<QStringList> expected{{"0", "ID", "INTEGER", "0", null, "1"}};
    for (const Column &column : expectedColumns) {
        const QString type =
            QStringLiteral("%1(%2)")
                .arg(column.wide ? QStringLiteral("NVARCHAR") : QStringLiteral("VARCHAR"))
                .arg(column.size);
        const QString defaultValue =
            QLatin1String(column.name) == QLatin1String("Del") ? QStringLiteral("'否'") : null;
        expected.append({QString::number(expected.size()), QLatin1String(column.name), type, "0",
                         defaultValue, "0"});
    }
    QCOMPARE(rows(path, QStringLiteral("pragma table_info(Dept)")), expected);
    QCOMPARE(rows(path, QStringLiteral("select name from sqlite_master where type = 'table'")),
             (QList<QStringList>{{"Dept"}}));
    QCOMPARE(rows(path, QStringLiteral("select count(*) from Dept")), (QList<QStringList>{{"0"}}));
}

void TestNamecardsDb::delDefaultsToLive()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("crm.mdb"));
    QCOMPARE(runTool({"create", path}, folder.path()).exitCode, 0);
    testsupport::exec(path, QStringLiteral("insert into Dept (Name) values ('张三')"));
    QCOMPARE(rows(path, QStringLiteral("select ID, Name, Dept, Del from Dept")),
             (QList<QStringList>{{"1", "张三", null, "否"}}));
}

void TestNamecardsDb::createMakesMissingFoldersAndLeavesNoTemporaryFile()
{
    QTemporaryDir folder;
    const Run run = runTool({"create", "cards/Date/crm.mdb"}, folder.path());
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(QLatin1String("cards/Date/crm.mdb")), qPrintable(run.out));
    const QString date = folder.filePath(QStringLiteral("cards/Date"));
    QCOMPARE(QDir(date).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
             QStringList{"crm.mdb"});
    QCOMPARE(rows(date + QStringLiteral("/crm.mdb"), QStringLiteral("select count(*) from Dept")),
             (QList<QStringList>{{"0"}}));
}

void TestNamecardsDb::createRefusesAnExistingPath_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("card file") << "card file";
    QTest::newRow("card file, --demo") << "card file, --demo";
    QTest::newRow("other file") << "other file";
    QTest::newRow("empty file") << "empty file";
    QTest::newRow("folder") << "folder";
}

void TestNamecardsDb::createRefusesAnExistingPath()
{
    QFETCH(QString, kind);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("crm.mdb"));
    QStringList arguments{"create", path};
    if (kind.startsWith(QLatin1String("card file"))) {
        testsupport::TempCardFile source({testsupport::card({{"Name", "李四"}, {"Del", "否"}})});
        QVERIFY(QFile::copy(source.path(), path));
        if (kind.endsWith(QLatin1String("--demo")))
            arguments.append(QStringLiteral("--demo"));
    } else if (kind == QLatin1String("other file")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a card file\n");
    } else if (kind == QLatin1String("empty file")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else {
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("crm.mdb")));
    }
    const QFileInfo before(path);
    const QByteArray digest = fileDigest(path);
    const QStringList entries =
        QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);

    const Run run = runTool(arguments, folder.path());
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QLatin1String("already exists")), qPrintable(run.err));
    QVERIFY2(run.err.contains(path), qPrintable(run.err));
    QCOMPARE(run.out, QString());
    QCOMPARE(fileDigest(path), digest);
    QCOMPARE(QFileInfo(path).isDir(), before.isDir());
    QCOMPARE(QFileInfo(path).size(), before.size());
    QCOMPARE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
             entries);
}

void TestNamecardsDb::demoHasLiveDeletedAndEmptyFlagCards()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Date/crm.mdb"));
    const Run run = runTool({"create", path, "--demo"}, folder.path());
    QCOMPARE(run.exitCode, 0);

    const QList<QStringList> flags =
        rows(path, QStringLiteral("select Del, count(*) from Dept group by Del order by Del"));
    QCOMPARE(flags.size(), 3);
    QCOMPARE(flags.at(0), (QStringList{"", "1"}));
    QCOMPARE(flags.at(1).at(0), QStringLiteral("否"));
    QCOMPARE(flags.at(2), (QStringList{"是", "2"}));
    const int live = flags.at(1).at(1).toInt();
    QVERIFY2(live >= 25 && live <= 40, qPrintable(flags.at(1).at(1)));
    QVERIFY(run.out.contains(QStringLiteral("%1 cards").arg(live + 3)));

    // Realistic variety: distinct names, several cities, the card's own key.
    QCOMPARE(
        rows(path, QStringLiteral("select count(distinct Name), count(*) from Dept")).at(0).at(0),
        QString::number(live + 3));
    QVERIFY(
        rows(path, QStringLiteral("select count(distinct City) from Dept")).at(0).at(0).toInt() >=
        6);
    QCOMPARE(rows(path, QStringLiteral("select min(ID), max(ID) from Dept")),
             (QList<QStringList>{{"1", QString::number(live + 3)}}));
}

void TestNamecardsDb::demoValuesFitTheirColumns()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("crm.mdb"));
    QCOMPARE(runTool({"create", path, "--demo"}, folder.path()).exitCode, 0);

    QStringList names;
    for (const Column &column : expectedColumns)
        names.append(QLatin1String(column.name));
    const QList<QStringList> cards =
        rows(path, QStringLiteral("select %1 from Dept").arg(names.join(QStringLiteral(", "))));
    QVERIFY(!cards.isEmpty());
    for (const QStringList &values : cards) {
        QCOMPARE(values.size(), int(std::size(expectedColumns)));
        QVERIFY2(values.at(0) != null, "every demo card has a name");
        for (int i = 0; i < values.size(); ++i) {
            if (values.at(i) == null)
                continue;
            const Column &column = expectedColumns[i];
            const int size = dataset::textSize(
                column.wide ? dataset::TextKind::Wide : dataset::TextKind::Narrow, values.at(i));
            QVERIFY2(size <= column.size,
                     qPrintable(QStringLiteral("%1 = \"%2\": size %3 > %4")
                                    .arg(QLatin1String(column.name), values.at(i))
                                    .arg(size)
                                    .arg(column.size)));
        }
    }
}

QTEST_GUILESS_MAIN(TestNamecardsDb)
#include "TestNamecardsDb.moc"
