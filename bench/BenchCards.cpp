#include "BenchCards.h"

#include "CardTable.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace bench {

namespace {

// splitmix64: small, fast and the same on every platform.
class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int bound) { return int(next() % std::uint64_t(bound)); }
    bool percent(int chance) { return below(100) < chance; }
    template <typename List> const char *pick(const List &list)
    {
        return list[std::size_t(below(int(std::size(list))))];
    }
    void digits(std::string &out, int count)
    {
        for (int i = 0; i < count; ++i)
            out += char('0' + below(10));
    }

private:
    std::uint64_t m_state;
};

// Every list keeps its longest combination within the column's size.
constexpr std::array surnames{"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴",   "周",
                              "徐", "孙", "马", "朱", "胡", "郭", "何", "高", "林",   "罗",
                              "郑", "梁", "谢", "宋", "唐", "许", "韩", "冯", "欧阳", "司马"};
constexpr std::array givenNames{"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋",
                                "勇", "艳", "杰", "娟", "涛", "明", "超", "秀", "霞", "平",
                                "刚", "桂", "英", "华", "建", "国", "文", "辉", "玲", "鹏"};
constexpr std::array latinNames{"David Li", "Mary Wang", "Tom Zhang", "Anna Chen", "Peter Liu"};
constexpr std::array cities{"北京", "上海", "广州", "深圳", "杭州", "南京",   "成都",
                            "武汉", "西安", "天津", "重庆", "苏州", "哈尔滨", "长沙"};
constexpr std::array brands{"华信", "联创", "东方", "新世纪", "恒通", "金桥", "宏达",
                            "天成", "中科", "瑞丰", "博远",   "永安", "星海", "鼎盛"};
constexpr std::array trades{"科技", "电子", "贸易", "实业", "软件", "机械", "物流",
                            "医药", "建设", "广告", "咨询", "食品", "纺织", "投资"};
constexpr std::array companyForms{"有限公司", "股份有限公司", "集团有限公司", "公司"};
constexpr std::array parts{"销售部",   "市场部", "技术部",     "财务部", "人力资源部",
                           "研发中心", "行政部", "客户服务部", "采购部", "总经办"};
constexpr std::array jobs{"经理",     "总经理", "副总经理", "主管",   "工程师",
                          "销售代表", "总监",   "助理",     "董事长", "部长"};
constexpr std::array areaCodes{"010", "021", "020", "0755", "0571", "025", "028", "027"};
constexpr std::array districts{"朝阳区", "海淀区", "浦东新区", "天河区", "南山区",
                               "西湖区", "鼓楼区", "武侯区",   "江汉区", "雁塔区"};
constexpr std::array roads{"建国路", "中山路",   "人民路",   "解放大道", "科技园路",
                           "长安街", "南京西路", "深南大道", "文三路",   "高新大道"};
constexpr std::array buildings{"", "国贸大厦", "金融中心", "科技大厦", "商务楼"};
constexpr std::array estates{"望京花园", "阳光小区", "锦绣家园", "翠湖苑",
                             "丽都花园", "和平里",   "金色家园", "碧水湾"};
constexpr std::array domains{"huaxin", "lianchuang", "dongfang", "hengtong", "jinqiao",
                             "hongda", "tiancheng",  "zhongke",  "ruifeng",  "xinghai"};
constexpr std::array mailHosts{"163.com", "126.com", "sina.com", "qq.com", "sohu.com"};
constexpr std::array mailNames{"wang", "li",   "zhang", "liu",  "chen",
                               "yang", "zhao", "sales", "info", "service"};
constexpr std::array businesses{"计算机软硬件的开发与销售",
                                "电子产品",
                                "技术咨询与技术服务",
                                "进出口贸易",
                                "机械设备的生产与维修",
                                "办公用品",
                                "房地产开发",
                                "广告设计与制作",
                                "医疗器械",
                                "建筑材料",
                                "日用百货",
                                "物流运输",
                                "餐饮服务",
                                "网络工程"};

std::string phone(Random &random)
{
    std::string text = random.pick(areaCodes);
    text += '-';
    text += char('2' + random.below(7));
    random.digits(text, 7);
    return text;
}

// One card's fifteen values in column order; an empty optional column is NULL.
struct Card
{
    std::array<std::string, 15> values;
    std::array<bool, 15> isNull{};
};

void makeCard(Random &random, bool deleted, Card &card)
{
    for (std::string &value : card.values)
        value.clear();
    card.isNull.fill(false);
    auto &v = card.values;

    if (random.percent(5)) {
        v[0] = random.pick(latinNames);
    } else {
        v[0] = random.pick(surnames);
        v[0] += random.pick(givenNames);
        if (random.percent(60))
            v[0] += random.pick(givenNames);
    }
    const char *city = random.pick(cities);
    v[1] = city;
    v[1] += random.pick(brands);
    v[1] += random.pick(trades);
    v[1] += random.pick(companyForms);
    v[2] = random.pick(parts);
    v[3] = random.pick(jobs);
    v[4] = phone(random);
    v[5] = phone(random);
    v[6] = city;
    v[6] += "市";
    v[6] += random.pick(districts);
    v[6] += random.pick(roads);
    v[6] += std::to_string(1 + random.below(300));
    v[6] += "号";
    v[6] += random.pick(buildings);
    v[7] = city;
    const char *domain = random.pick(domains);
    v[8] = "www.";
    v[8] += domain;
    v[8] += random.percent(50) ? ".com.cn" : ".com";
    v[9] = random.pick(mailNames);
    random.digits(v[9], random.below(4));
    v[9] += '@';
    v[9] += random.percent(50) ? std::string(domain) + ".com" : random.pick(mailHosts);
    v[10] = phone(random);
    v[11] = "13";
    random.digits(v[11], 9);
    v[12] = random.pick(cities);
    v[12] += random.pick(estates);
    v[12] += std::to_string(1 + random.below(30));
    v[12] += "-";
    v[12] += std::to_string(101 + random.below(2500));
    const int kinds = 1 + random.below(4);
    for (int i = 0; i < kinds; ++i) {
        if (i > 0)
            v[13] += "、";
        v[13] += random.pick(businesses);
    }
    v[14] = deleted ? "是" : "否";

    // Optional columns that cards often leave empty: fax, web, e-mail, home
    // phone, mobile, home address.
    const std::array<std::pair<int, int>, 6> emptyChance{
        {{5, 40}, {8, 40}, {9, 20}, {10, 50}, {11, 10}, {12, 40}}};
    for (const auto &[column, chance] : emptyChance)
        card.isNull[std::size_t(column)] = random.percent(chance);
}

void check(sqlite3 *db, int rc, const char *what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

} // namespace

void writeBenchCards(const QString &path, int count)
{
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const std::unique_ptr<sqlite3, int (*)(sqlite3 *)> owner(db, sqlite3_close_v2);
    check(db, rc, "open");
    check(db, sqlite3_exec(db, "PRAGMA synchronous = OFF", nullptr, nullptr, nullptr), "pragma");
    check(db,
          sqlite3_exec(db, store::createTableStatement().toUtf8().constData(), nullptr, nullptr,
                       nullptr),
          "create table");
    check(db, sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), "begin");

    QStringList columns;
    for (const dataset::FieldDef &column : store::cardColumns())
        columns.append(column.fieldName);
    const QByteArray insert =
        QStringLiteral("INSERT INTO Dept (%1) VALUES (?%2)")
            .arg(columns.join(QLatin1Char(',')), QStringLiteral(",?").repeated(columns.size() - 1))
            .toUtf8();
    sqlite3_stmt *stmt = nullptr;
    check(db, sqlite3_prepare_v2(db, insert.constData(), -1, &stmt, nullptr), "prepare");
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> statement(stmt, sqlite3_finalize);

    Random random(0x6E616D6563617264ull + std::uint64_t(count));
    Card card;
    for (int i = 0; i < count; ++i) {
        // Exactly one card in twenty is deleted, spread over the file.
        makeCard(random, (std::int64_t(i) * 7 + 3) % 20 == 0, card);
        for (int c = 0; c < 15; ++c) {
            if (card.isNull[std::size_t(c)])
                sqlite3_bind_null(stmt, c + 1);
            else
                sqlite3_bind_text(stmt, c + 1, card.values[std::size_t(c)].data(),
                                  int(card.values[std::size_t(c)].size()), SQLITE_STATIC);
        }
        check(db, sqlite3_step(stmt), "insert");
        sqlite3_reset(stmt);
    }
    check(db, sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), "commit");
}

} // namespace bench
