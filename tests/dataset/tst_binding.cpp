#include "SqliteFile.h"

#include "CardTable.h"

#include <QRegularExpression>
#include <QTest>

using dataset::TextKind;
using datasettest::CardQuery;
using datasettest::errorOf;
using datasettest::SqliteFile;

namespace {

// A table Dept of the card columns; a column named in declarations is declared
// as given there instead (left out when that is empty).
QString cardTable(const QHash<QString, QString> &declarations, const QStringList &extraColumns = {})
{
    QStringList columns{QStringLiteral("ID INTEGER PRIMARY KEY")};
    for (const dataset::FieldDef &column : store::cardColumns()) {
        const QString declaration =
            declarations.contains(column.fieldName)
                ? declarations.value(column.fieldName)
                : QStringLiteral("%1 %2(%3)")
                      .arg(column.fieldName, column.kind == TextKind::Wide
                                                 ? QStringLiteral("NVARCHAR")
                                                 : QStringLiteral("VARCHAR"))
                      .arg(column.size);
        if (!declaration.isEmpty())
            columns.append(declaration);
    }
    columns += extraColumns;
    return QStringLiteral("CREATE TABLE Dept (%1)").arg(columns.join(QStringLiteral(", ")));
}

QString exactly(const QString &text)
{
    return QRegularExpression::anchoredPattern(QRegularExpression::escape(text));
}

// Each card column's value in the bound-columns fixture: its own name, and the
// live flag for Del.
QString valueOf(const QString &column)
{
    return column == QLatin1String("Del") ? store::liveFlag : column;
}

} // namespace

class TestBinding : public QObject
{
    Q_OBJECT
private slots:
    void openFailsOnColumn_data();
    void openFailsOnColumn();
    void refusedStatement();
    void bindsByNameAndTextKind_data();
    void bindsByNameAndTextKind();
    void cutOnAssign_data();
    void cutOnAssign();
    void cutOnRead_data();
    void cutOnRead();
};

void TestBinding::openFailsOnColumn_data()
{
    QTest::addColumn<QString>("create");
    QTest::addColumn<QString>("pattern");
    const auto mismatch = [](const char *title, const char *actual) {
        return QStringLiteral(
                   "^ADOQuery1: Type mismatch for field '%1', expecting: \\S+ actual: %2$")
            .arg(QString::fromUtf8(title), QString::fromLatin1(actual));
    };
    QTest::newRow("Moblio missing")
        << cardTable({{QStringLiteral("Moblio"), QString()}})
        << exactly(QStringLiteral("ADOQuery1: Field '移动电话' not found"));
    QTest::newRow("WWW missing") << cardTable({{QStringLiteral("WWW"), QString()}})
                                 << exactly(QStringLiteral("ADOQuery1: Field 'WWW' not found"));
    QTest::newRow("Name missing") << cardTable({{QStringLiteral("Name"), QString()}})
                                  << exactly(QStringLiteral("ADOQuery1: Field '姓名' not found"));
    QTest::newRow("Name integer") << cardTable(
                                         {{QStringLiteral("Name"), QStringLiteral("Name INTEGER")}})
                                  << mismatch("姓名", "INTEGER");
    QTest::newRow("City real") << cardTable({{QStringLiteral("City"), QStringLiteral("City REAL")}})
                               << mismatch("城市", "REAL");
    QTest::newRow("E_Mail blob") << cardTable(
                                        {{QStringLiteral("E_Mail"), QStringLiteral("E_Mail BLOB")}})
                                 << mismatch("E_Mail", "BLOB");
    QTest::newRow("Del date") << cardTable({{QStringLiteral("Del"), QStringLiteral("Del DATE")}})
                              << mismatch("Del", "DATE");
}

void TestBinding::openFailsOnColumn()
{
    QFETCH(QString, create);
    QFETCH(QString, pattern);
    SqliteFile file({create});
    CardQuery cards(file.connectionString());

    const QString error = errorOf([&] { cards->Open(); });

    QVERIFY2(QRegularExpression(pattern).match(error).hasMatch(), qPrintable(error));
    QVERIFY(!cards->Active());
    QCOMPARE(cards->rowCount(), 0);
}

void TestBinding::refusedStatement()
{
    SqliteFile file;
    CardQuery cards(file.connectionString(), QStringLiteral("selec * from Dept"));

    const QString error = errorOf([&] { cards->Open(); });

    QVERIFY2(error.contains(QStringLiteral("syntax error")), qPrintable(error));
    QVERIFY2(!error.startsWith(QStringLiteral("ADOQuery1")), qPrintable(error));
    QVERIFY(!cards->Active());
}

void TestBinding::bindsByNameAndTextKind_data()
{
    QTest::addColumn<QString>("create");
    QHash<QString, QString> lower;
    QHash<QString, QString> upper;
    QHash<QString, QString> swapped;
    QHash<QString, QString> native;
    QStringList reversed{QStringLiteral("ID INTEGER PRIMARY KEY")};
    for (const dataset::FieldDef &column : store::cardColumns()) {
        const QString size = QString::number(column.size);
        lower.insert(column.fieldName, column.fieldName.toLower() + QStringLiteral(" TEXT"));
        upper.insert(column.fieldName, column.fieldName.toUpper() + QStringLiteral(" TEXT"));
        swapped.insert(column.fieldName,
                       QStringLiteral("%1 %2(%3)")
                           .arg(column.fieldName,
                                column.kind == TextKind::Wide ? QStringLiteral("VARCHAR")
                                                              : QStringLiteral("NVARCHAR"),
                                size));
        native.insert(column.fieldName, column.fieldName);
        reversed.insert(1, QStringLiteral("%1 CHAR(%2)").arg(column.fieldName, size));
    }
    native.insert(QStringLiteral("Des"), QStringLiteral("Des CLOB"));
    QTest::newRow("extra columns")
        << cardTable({}, {QStringLiteral("Note VARCHAR(20)"), QStringLiteral("Age INTEGER")});
    QTest::newRow("lower-case names") << cardTable(lower);
    QTest::newRow("upper-case names") << cardTable(upper);
    QTest::newRow("kinds swapped") << cardTable(swapped);
    QTest::newRow("untyped and clob") << cardTable(native);
    QTest::newRow("reversed order")
        << QStringLiteral("CREATE TABLE Dept (%1)").arg(reversed.join(QStringLiteral(", ")));
}

void TestBinding::bindsByNameAndTextKind()
{
    QFETCH(QString, create);
    SqliteFile file({create});
    QStringList columns;
    QStringList values;
    for (const dataset::FieldDef &column : store::cardColumns()) {
        columns.append(column.fieldName);
        values.append(QLatin1Char('\'') + valueOf(column.fieldName) + QLatin1Char('\''));
    }
    QVERIFY(file.exec(QStringLiteral("insert into Dept (%1) values (%2)")
                          .arg(columns.join(QLatin1Char(',')), values.join(QLatin1Char(','))))
                .isEmpty());
    CardQuery cards(file.connectionString());

    cards->Open();

    QCOMPARE(cards->RecordCount(), 1);
    for (const QString &column : columns)
        QCOMPARE(cards.text(column), valueOf(column));
    QVERIFY(!cards->FindField(QStringLiteral("Note")));
    cards->Edit();
    cards.set(QStringLiteral("city"), QStringLiteral("新城"));
    cards->Post();
    QCOMPARE(file.select(QStringLiteral("select City, Name from Dept")),
             QStringLiteral("新城|Name"));
}

void TestBinding::cutOnAssign_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("kept");
    const QString face = QString::fromUcs4(U"😀");
    const QString fits = QStringLiteral("一二三四五");

    QTest::newRow("narrow: six Chinese characters")
        << QStringLiteral("Part") << QStringLiteral("一二三四五六") << fits;
    QTest::newRow("narrow: a Chinese character would be split")
        << QStringLiteral("Part") << QStringLiteral("a一二三四五") << QStringLiteral("a一二三四");
    QTest::newRow("narrow: odd bytes before Chinese")
        << QStringLiteral("City") << QStringLiteral("abc一二三四") << QStringLiteral("abc一二三");
    QTest::newRow("narrow: ASCII") << QStringLiteral("Fax") << QStringLiteral("0123456789012345")
                                   << QStringLiteral("012345678901234");
    QTest::newRow("narrow: four-byte character fits")
        << QStringLiteral("Part") << QStringLiteral("一二三") + face
        << QStringLiteral("一二三") + face;
    QTest::newRow("narrow: four-byte character cut")
        << QStringLiteral("Part") << QStringLiteral("一二三四") + face
        << QStringLiteral("一二三四");
    QTest::newRow("narrow: character outside GBK")
        << QStringLiteral("Job") << QStringLiteral("กขค") << QStringLiteral("กข");
    QTest::newRow("narrow: fits") << QStringLiteral("Part") << fits << fits;
    QTest::newRow("wide: thirteen characters")
        << QStringLiteral("Name") << QStringLiteral("一二三四五六七八九十甲乙丙")
        << QStringLiteral("一二三四五六七八九十甲乙");
    QTest::newRow("wide: surrogate pair across the end")
        << QStringLiteral("Name") << QStringLiteral("12345678901") + face
        << QStringLiteral("12345678901");
    QTest::newRow("wide: surrogate pair at the end")
        << QStringLiteral("Name") << QStringLiteral("1234567890") + face
        << QStringLiteral("1234567890") + face;
    QTest::newRow("wide: Del") << QStringLiteral("Del") << QStringLiteral("否否否")
                               << QStringLiteral("否否");
}

void TestBinding::cutOnAssign()
{
    QFETCH(QString, column);
    QFETCH(QString, value);
    QFETCH(QString, kept);
    SqliteFile file;
    CardQuery cards(file.connectionString());
    cards->Open();
    cards->Append();

    cards.set(column, value);
    QCOMPARE(cards.text(column), kept);
    cards->Post();

    QCOMPARE(file.select(QStringLiteral("select %1 from Dept").arg(column)), kept);
}

void TestBinding::cutOnRead_data()
{
    cutOnAssign_data();
}

// Another program may store more than a field holds: the field hands on only
// what fits, and the stored value stays as it is unless assigned.
void TestBinding::cutOnRead()
{
    QFETCH(QString, column);
    QFETCH(QString, value);
    QFETCH(QString, kept);
    SqliteFile file;
    const QString other =
        column == QLatin1String("Dept") ? QStringLiteral("Des") : QStringLiteral("Dept");
    QVERIFY(file.exec(QStringLiteral("insert into Dept (%1) values ('%2')").arg(column, value))
                .isEmpty());
    CardQuery cards(file.connectionString(),
                    QStringLiteral("select * from Dept where %1 is not null").arg(column));
    cards->Open();

    QCOMPARE(cards.text(column), kept);
    cards->Edit();
    cards.set(other, QStringLiteral("别的"));
    cards->Post();

    QCOMPARE(cards.text(column), kept);
    QCOMPARE(file.select(QStringLiteral("select %1 from Dept").arg(column)), value);
}

QTEST_GUILESS_MAIN(TestBinding)
#include "tst_binding.moc"
