#include "QueryFixture.h"

#include <QApplication>
#include <QtTest>

using testsupport::card;

namespace queryfixture {

std::vector<testsupport::Card> cards()
{
    return {
        card({{"Name", "张三"},
              {"Dept", "星河科技有限公司"},
              {"Part", "研发部"},
              {"Job", "经理"},
              {"JPhone", "010-62345678"},
              {"JAddress", "北京市海淀区中关村"},
              {"City", "北京"},
              {"WWW", "www.xinghe.cn"},
              {"E_Mail", "zhang@xinghe.cn"},
              {"Moblio", "13800000001"},
              {"HAddress", "北京市朝阳区"},
              {"Des", "软件开发"},
              {"Del", "否"}}),
        card({{"Name", "O'Brien"},
              {"Dept", "Acme Trading Ltd"},
              {"Part", "Sales"},
              {"Job", "Manager"},
              {"JPhone", "020-38001234"},
              {"Fax", "020-38001235"},
              {"JAddress", "广州市天河区体育西路"},
              {"City", "广州"},
              {"E_Mail", "obrien@acme.com"},
              {"HPhone", "020-87654321"},
              {"Des", "进出口贸易 -- 代理"},
              {"Del", "否"}}),
        card({{"Name", "李四"},
              {"Dept", "蓝天贸易公司"},
              {"Job", "总监"},
              {"JPhone", "021-50501234"},
              {"Fax", "021-50501235"},
              {"JAddress", "上海市浦东新区"},
              {"City", "上海"},
              {"WWW", "www.lantian.com"},
              {"Moblio", "13900000003"},
              {"HAddress", "上海市徐汇区"},
              {"Des", "贸易;物流"},
              {"Del", "否"}}),
        card({{"Name", "王五"},
              {"Dept", "星河科技有限公司"},
              {"Part", "研发部"},
              {"Job", "经理"},
              {"JPhone", "010-62345679"},
              {"Fax", "010-1"},
              {"JAddress", "北京市海淀区"},
              {"City", "北京"},
              {"WWW", "www.xinghe.cn"},
              {"E_Mail", "wang@xinghe.cn"},
              {"HPhone", "010-2"},
              {"Moblio", "13800000004"},
              {"HAddress", "北京市朝阳区"},
              {"Des", "100%贸易 -- ;' or '1'='1"},
              {"Del", "是"}}),
        card({{"Name", "赵六"},
              {"Dept", "星河科技有限公司"},
              {"Part", "研发部"},
              {"Job", "经理"},
              {"JPhone", "010-3"},
              {"Fax", "010-4"},
              {"JAddress", "北京市东城区"},
              {"City", "北京"},
              {"WWW", "www.zhao.cn"},
              {"E_Mail", "zhao@xinghe.cn"},
              {"HPhone", "010-5"},
              {"Moblio", "13800000005"},
              {"HAddress", "北京市东城区"},
              {"Des", "100%贸易 -- ;' or '1'='1"},
              {"Del", ""}}),
        card({{"Name", "孙七"},
              {"Dept", "远航物流"},
              {"JPhone", "020-1"},
              {"JAddress", "广州市白云区"},
              {"City", "广州"},
              {"Del", "否"}}),
        card({{"Name", "周八"},
              {"Dept", "绿野食品厂"},
              {"Part", "市场部"},
              {"Job", "主管"},
              {"JPhone", "010-8"},
              {"JAddress", "北京市丰台区"},
              {"City", "北京"},
              {"WWW", "www.lvye.com"},
              {"E_Mail", "ZHOU@LVYE.COM"},
              {"HPhone", "010-6"},
              {"Moblio", "13700000007"},
              {"HAddress", "北京市西城区"},
              {"Des", "100%纯天然"},
              {"Del", "否"}}),
        card({{"Name", "吴九"},
              {"Dept", "南方连锁"},
              {"Part", "运营部"},
              {"Job", "经理"},
              {"JPhone", "0755-1"},
              {"JAddress", "深圳市南山区"},
              {"City", "深圳"},
              {"WWW", "http://wu.example.com"},
              {"E_Mail", "wu_jiu@example.com"},
              {"Moblio", "13600000008"},
              {"Des", "1000家门店"},
              {"Del", "否"}}),
        card({{"Name", "郑十"},
              {"Dept", "晨光文具"},
              {"Part", "销售部"},
              {"Job", "业务员"},
              {"JPhone", "0571-1"},
              {"Fax", "0571-2"},
              {"JAddress", "杭州市西湖区"},
              {"City", ""},
              {"HPhone", "0571-3"},
              {"HAddress", "杭州市上城区"},
              {"Des", "说明：' or '1'='1 是一段文字"},
              {"Del", "否"}}),
    };
}

QStringList liveNames()
{
    return {QStringLiteral("张三"), QStringLiteral("O'Brien"), QStringLiteral("李四"),
            QStringLiteral("孙七"), QStringLiteral("周八"),    QStringLiteral("吴九"),
            QStringLiteral("郑十")};
}

Fixture::Fixture() : MainWindowFixture(cards()) {}

QList<QStringList> Fixture::dump() const
{
    return testsupport::rows(path(), QStringLiteral("select type, name, sql from sqlite_master "
                                                    "order by name")) +
           testsupport::rows(path(), QStringLiteral("select * from Dept order by ID"));
}

TfrmQuery *Fixture::openQuery()
{
    const QList<TfrmQuery *> before = window->findChildren<TfrmQuery *>();
    window->ButQ->click();
    for (TfrmQuery *query : window->findChildren<TfrmQuery *>())
        if (!before.contains(query))
            return query;
    return nullptr;
}

bool waitReady(TfrmQuery *query)
{
    return query && QTest::qWaitForWindowActive(query) &&
           QTest::qWaitFor([query] { return QApplication::focusWidget() == query->Button1; });
}

void search(TfrmQuery *query, const QString &caption, const QString &content)
{
    query->ComboBox1->setEditText(caption);
    query->Edit1->setText(content);
    query->Button1->click();
}

} // namespace queryfixture
