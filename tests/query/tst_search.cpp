// The search of the query window: which cards each field caption and content
// text list and in which order, the count it writes, content texts that try to
// change the statement, and the content texts it refuses.

#include "Application.h"
#include "CardStore.h"
#include "QueryFixture.h"

#include <QtTest>

using queryfixture::Fixture;
using widgets::Application;

class TestSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void searchLists_data();
    void searchLists();
    void contentCannotChangeTheStatement_data();
    void contentCannotChangeTheStatement();
    void wholeLongContentIsSearched();
    void contentWithNulIsRefused();

private:
    std::unique_ptr<Fixture> m_fixture;
};

void TestSearch::initTestCase()
{
    Application::instance().requireAnswers(true);
}

void TestSearch::init()
{
    m_fixture = std::make_unique<Fixture>();
    QVERIFY(m_fixture->show());
}

void TestSearch::cleanup()
{
    m_fixture.reset();
    const QStringList failures = Application::instance().takeBoxFailures();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
}

namespace {

// One row of a search table: the field caption, the content text and the
// names the list must then show, in order.
void addSearch(const char *name, const char *caption, const QString &content,
               std::initializer_list<const char *> names)
{
    QStringList expected;
    for (const char *listed : names)
        expected.append(QString::fromUtf8(listed));
    QTest::newRow(name) << QString::fromUtf8(caption) << content << expected;
}

void searchColumns()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QStringList>("names");
}

// Searches the row's caption and content from the query window, then checks
// the row's names against the list, the count against them, and that the card
// file did not change.
void searchRowAndCheck(Fixture &fixture, TfrmQuery *query)
{
    QFETCH(QString, caption);
    QFETCH(QString, content);
    QFETCH(QStringList, names);

    const QList<QStringList> before = fixture.dump();

    queryfixture::search(query, caption, content);

    QCOMPARE(fixture.listedNames(), names);
    QCOMPARE(fixture.countPanel(), QString::number(names.size()));
    QCOMPARE(fixture.dump(), before);
}

} // namespace

void TestSearch::searchLists_data()
{
    searchColumns();

    // Every caption names its column; an empty content lists the cards with a
    // value (even an empty one) in it, ordered by it.
    addSearch("姓名, empty content", "姓名", "",
              {"O'Brien", "吴九", "周八", "孙七", "张三", "李四", "郑十"});
    addSearch("单位名称", "单位名称", "公司", {"张三", "李四"});
    addSearch("部门", "部门", "部", {"周八", "张三", "吴九", "郑十"});
    addSearch("职务, equal values in store order", "职务", "经理", {"张三", "吴九"});
    addSearch("办公电话", "办公电话", "010", {"张三", "周八"});
    addSearch("传真, empty content", "传真", "", {"O'Brien", "李四", "郑十"});
    addSearch("单位地址", "单位地址", "区",
              {"李四", "周八", "张三", "O'Brien", "孙七", "郑十", "吴九"});
    addSearch("城市, empty content, empty value first", "城市", "",
              {"郑十", "李四", "张三", "周八", "O'Brien", "孙七", "吴九"});
    addSearch("城市", "城市", "北京", {"张三", "周八"});
    addSearch("网址", "网址", "www", {"李四", "周八", "张三"});
    addSearch("E_mail searches E_Mail", "E_mail", "@", {"周八", "O'Brien", "吴九", "张三"});
    addSearch("住宅电话, empty content", "住宅电话", "", {"周八", "O'Brien", "郑十"});
    addSearch("移动电话", "移动电话", "13", {"吴九", "周八", "张三", "李四"});
    addSearch("家庭地址", "家庭地址", "北京", {"张三", "周八"});
    addSearch("经营范围", "经营范围", "贸易", {"李四", "O'Brien"});

    addSearch("no match", "姓名", "不存在", {});

    // The store's wildcards keep their meaning.
    addSearch("% matches any text", "经营范围", "100%", {"周八", "吴九"});
    addSearch("% inside", "单位名称", "星%公司", {"张三"});
    addSearch("_ matches one character", "姓名", "O_Brien", {"O'Brien"});

    // Texts that mean something to the statement are searched as text.
    addSearch("quote", "姓名", "O'Brien", {"O'Brien"});
    addSearch("lone quote", "姓名", "'", {"O'Brien"});
    addSearch("--", "经营范围", "--", {"O'Brien"});
    addSearch(";", "经营范围", ";", {"李四"});
}

void TestSearch::searchLists()
{
    TfrmQuery *query = m_fixture->openQuery();
    QVERIFY(queryfixture::waitReady(query));
    searchRowAndCheck(*m_fixture, query);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(!query->isVisible());
}

void TestSearch::contentCannotChangeTheStatement_data()
{
    searchColumns();

    addSearch("always true", "姓名", "' or '1'='1", {});
    addSearch("always true, held by a card as text", "经营范围", "' or '1'='1", {"郑十"});
    addSearch("second statement", "姓名", "'; drop table Dept; --", {});
    addSearch("deleted cards", "单位名称", "%' or del='是' --", {});
    addSearch("union", "姓名", "' union select * from Dept --", {});
    addSearch("widened condition", "城市", "北京' or City like '", {});
    addSearch("backslash escape", "姓名", "\\' or 1=1 --", {});
}

// Whatever the content, it is only ever part of the pattern: the deleted card
// and cards that do not hold the text are never listed, and the file stays as
// it was.
void TestSearch::contentCannotChangeTheStatement()
{
    TfrmQuery *query = m_fixture->openQuery();
    QVERIFY(queryfixture::waitReady(query));
    searchRowAndCheck(*m_fixture, query);
}

// The whole content is the pattern, however long: a card holding one
// character fewer is not listed.
void TestSearch::wholeLongContentIsSearched()
{
    const QString longText(10000, QChar(u'长'));
    testsupport::exec(m_fixture->path(),
                      QStringLiteral("insert into Dept (Name, Des, Del) values ('长文甲', '%1', "
                                     "'否'); insert into Dept (Name, Des, Del) values ('长文乙', "
                                     "'%2', '否')")
                          .arg(longText.left(9999), longText + QStringLiteral("尾")));
    TfrmQuery *query = m_fixture->openQuery();
    QVERIFY(queryfixture::waitReady(query));

    queryfixture::search(query, QStringLiteral("经营范围"), longText);

    QCOMPARE(m_fixture->listedNames(), QStringList{QStringLiteral("长文乙")});
    QCOMPARE(m_fixture->countPanel(), QStringLiteral("1"));
}

// A NUL cannot be part of a statement's text: the search refuses it before
// anything runs, and the list, the count and the statement stay as they were.
void TestSearch::contentWithNulIsRefused()
{
    TfrmQuery *narrow = m_fixture->openQuery();
    QVERIFY(queryfixture::waitReady(narrow));
    queryfixture::search(narrow, QStringLiteral("城市"), QStringLiteral("北京"));
    const QString statement = store::CurrentSQL;
    const QStringList listed = m_fixture->listedNames();
    QCOMPARE(listed.size(), 2);

    TfrmQuery *query = m_fixture->openQuery();
    QVERIFY(queryfixture::waitReady(query));
    Application::instance().expectBox(
        guisupport::errorBox(QStringLiteral("查询内容不能包含空字符（NUL）.")), QMessageBox::Ok);
    queryfixture::search(query, QStringLiteral("姓名"),
                         QStringLiteral("张") + QChar(0) + QStringLiteral("三"));

    QCOMPARE(Application::instance().shownBoxes().size(), 1);
    QCOMPARE(store::CurrentSQL, statement);
    QCOMPARE(m_fixture->listedNames(), listed);
    QCOMPARE(m_fixture->countPanel(), QStringLiteral("2"));
    QVERIFY(query->isVisible());
}

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
