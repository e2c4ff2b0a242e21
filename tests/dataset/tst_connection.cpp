#include "SqliteFile.h"

#include "CardTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using datasettest::CardQuery;
using datasettest::errorOf;
using datasettest::SqliteFile;

namespace {

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Bytes that are no database of any kind, the same in every run.
QByteArray noise()
{
    QByteArray bytes(4096, '\0');
    quint32 x = 2463534242u;
    for (char &byte : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        byte = char(x);
    }
    return bytes;
}

// How the file behind the connection string is broken. Each case lays out the
// folder, and names the path the connection string gives and a text the error
// must contain besides that path.
struct Layout
{
    QString path;
    QString provider = QStringLiteral("Microsoft.Jet.OLEDB.4.0");
    QString mentions;
};

Layout layOut(const QString &problem, const QString &folder)
{
    Layout layout;
    layout.path = folder + QStringLiteral("/Date/crm.mdb");
    if (problem != QLatin1String("folder missing"))
        QDir(folder).mkdir(QStringLiteral("Date"));
    if (problem == QLatin1String("path is a folder")) {
        QDir(folder).mkpath(QStringLiteral("Date/crm.mdb"));
    } else if (problem == QLatin1String("not an SQLite file")) {
        writeBytes(layout.path, noise());
    } else if (problem == QLatin1String("old Access file")) {
        QByteArray bytes(4096, '\0');
        bytes.replace(4, 15, "Standard Jet DB");
        writeBytes(layout.path, bytes);
        layout.mentions = QStringLiteral("Access");
    } else if (problem == QLatin1String("empty SQLite file")) {
        writeBytes(layout.path, QByteArray());
        layout.mentions = QStringLiteral("Dept");
    } else if (problem == QLatin1String("no table Dept")) {
        SqliteFile::create(layout.path, QStringLiteral("create table Cards (Name text)"));
        layout.mentions = QStringLiteral("Dept");
    } else if (problem == QLatin1String("wrong provider")) {
        SqliteFile::create(layout.path, store::createTableStatement());
        layout.provider = QStringLiteral("SQLOLEDB.1");
        layout.mentions = layout.provider;
    }
    return layout;
}

} // namespace

class TestConnection : public QObject
{
    Q_OBJECT
private slots:
    void openFailure_data();
    void openFailure();
    void failedConnectionIsRetried_data();
    void failedConnectionIsRetried();
    void firstOpenConnectsAndLoadsReuseIt();
};

void TestConnection::openFailure_data()
{
    QTest::addColumn<QString>("problem");
    QTest::addColumn<bool>("connects");
    QTest::newRow("file missing") << QStringLiteral("file missing") << false;
    QTest::newRow("folder missing") << QStringLiteral("folder missing") << false;
    QTest::newRow("path is a folder") << QStringLiteral("path is a folder") << false;
    QTest::newRow("not an SQLite file") << QStringLiteral("not an SQLite file") << false;
    QTest::newRow("old Access file") << QStringLiteral("old Access file") << false;
    QTest::newRow("wrong provider") << QStringLiteral("wrong provider") << false;
    QTest::newRow("empty SQLite file") << QStringLiteral("empty SQLite file") << true;
    QTest::newRow("no table Dept") << QStringLiteral("no table Dept") << true;
}

void TestConnection::openFailure()
{
    QFETCH(QString, problem);
    QFETCH(bool, connects);
    QTemporaryDir folder;
    const Layout layout = layOut(problem, folder.path());
    const bool existed = QFileInfo(layout.path).isFile();
    const QByteArray bytes = [&] {
        QFile file(layout.path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    CardQuery cards(QStringLiteral("Provider=%1;Data Source=%2").arg(layout.provider, layout.path));

    const QString error = errorOf([&] { cards->Open(); });

    QVERIFY2(error.contains(layout.path), qPrintable(error));
    QVERIFY2(error.contains(layout.mentions), qPrintable(error));
    QVERIFY(!cards->Active());
    QCOMPARE(cards.connection.Connected(), connects);
    // The file is never made or touched.
    QCOMPARE(QFileInfo(layout.path).isFile(), existed);
    if (existed) {
        QFile file(layout.path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
    }
}

void TestConnection::failedConnectionIsRetried_data()
{
    QTest::addColumn<QString>("problem");
    for (const char *problem : {"file missing", "folder missing", "not an SQLite file",
                                "wrong provider", "no table Dept"})
        QTest::newRow(problem) << QString::fromLatin1(problem);
}

void TestConnection::failedConnectionIsRetried()
{
    QFETCH(QString, problem);
    QTemporaryDir folder;
    const Layout layout = layOut(problem, folder.path());
    CardQuery cards(QStringLiteral("Provider=%1;Data Source=%2").arg(layout.provider, layout.path));
    QVERIFY(!errorOf([&] { cards->Open(); }).isEmpty());

    // A file that is a database gets its table; anything else is replaced.
    QDir(folder.path()).mkpath(QStringLiteral("Date"));
    if (!cards.connection.Connected())
        QFile::remove(layout.path);
    SqliteFile::create(layout.path, store::createTableStatement() +
                                        QStringLiteral("; insert into Dept (Name) values ('甲')"));
    cards.connection.ConnectionString = store::connectionString(layout.path);

    QCOMPARE(errorOf([&] { cards->Open(); }), QString());
    QVERIFY(cards.connection.Connected());
    QCOMPARE(cards->RecordCount(), 1);
    QCOMPARE(cards.text(QStringLiteral("Name")), QStringLiteral("甲"));
}

// The connection opens with the first load and stays open: later loads reuse
// it and see what other programs wrote meanwhile.
void TestConnection::firstOpenConnectsAndLoadsReuseIt()
{
    SqliteFile file;
    CardQuery cards(file.connectionString());
    QVERIFY(!cards.connection.Connected());

    cards->Open();
    QVERIFY(cards.connection.Connected());
    QCOMPARE(cards->RecordCount(), 0);
    const auto *handle = cards.connection.handle();
    QVERIFY(file.exec(QStringLiteral("insert into Dept (Name) values ('甲'), ('乙')")).isEmpty());
    cards->Close();
    QVERIFY(cards.connection.Connected());
    cards.reload();

    QCOMPARE(cards.connection.handle(), handle);
    QCOMPARE(cards->RecordCount(), 2);
}

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
