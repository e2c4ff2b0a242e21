#include "Application.h"
#include "DBNavigator.h"
#include "TestSupport.h"
#include "TfrmMain.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

using testsupport::card;
using testsupport::TempCardFile;
using widgets::Application;

// What a screen reader finds in the main window.
class TestAccessibility : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void gridIsTableWithTitles();
    void cardCountPanel();
    void editsNamedByTheirLabels();
    void navigatorButtonsNamedByHints();

private:
    std::unique_ptr<TempCardFile> m_file;
    std::unique_ptr<TfrmMain> m_window;
};

void TestAccessibility::initTestCase()
{
    Application::instance().requireAnswers(true);
    QAccessible::setActive(true);
}

void TestAccessibility::init()
{
    m_file = std::make_unique<TempCardFile>(
        std::vector<tools::Card>{card({{"Name", "张三"}, {"Dept", "甲公司"}, {"Del", "否"}}),
                                 card({{"Name", "李四"}, {"Dept", "乙公司"}, {"Del", "否"}}),
                                 card({{"Name", "王五"}, {"Dept", "丙公司"}, {"Del", "否"}})});
    m_window = std::make_unique<TfrmMain>(m_file->folder() + QStringLiteral("/namecards"));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestAccessibility::cleanup()
{
    m_window.reset();
    m_file.reset();
    const QStringList failures = Application::instance().takeBoxFailures();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
}

void TestAccessibility::gridIsTableWithTitles()
{
    QAccessibleInterface *grid = QAccessible::queryAccessibleInterface(m_window->DBGrid1);
    QVERIFY(grid);
    QCOMPARE(grid->role(), QAccessible::Table);
    QAccessibleTableInterface *table = grid->tableInterface();
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 3);
    const QStringList titles{"姓名",     "单位名称", "部门",     "职务",    "办公电话",
                             "传真",     "地址",     "城市",     "WWW",     "E_Mail",
                             "住宅电话", "移动电话", "家庭地址", "经营范围"};
    QCOMPARE(table->columnCount(), int(titles.size()));
    for (int c = 0; c < table->columnCount(); ++c)
        QCOMPARE(table->columnDescription(c), titles[c]);
    QAccessibleInterface *cell = table->cellAt(1, 1);
    QVERIFY(cell);
    QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("乙公司"));
}

void TestAccessibility::cardCountPanel()
{
    QAccessibleInterface *panel = QAccessible::queryAccessibleInterface(m_window->StatusPanel6);
    QVERIFY(panel);
    QCOMPARE(m_window->StatusBar1->panelText(6), QStringLiteral("3"));
    QCOMPARE(panel->text(QAccessible::Name), QStringLiteral("3"));
}

void TestAccessibility::editsNamedByTheirLabels()
{
    const std::pair<QLabel *, widgets::DBEdit *> pairs[] = {
        {m_window->Label4, m_window->DBEName},     {m_window->Label1, m_window->DBEDept},
        {m_window->Label12, m_window->DBEPart},    {m_window->Label13, m_window->DBEJob},
        {m_window->Label3, m_window->DBEJPhone},   {m_window->Label10, m_window->DBEFax},
        {m_window->Label2, m_window->DBEJAddress}, {m_window->Label14, m_window->DBECity},
        {m_window->Label5, m_window->DBEWww},      {m_window->Label6, m_window->DBEEmail},
        {m_window->Label15, m_window->DBEHPhone},  {m_window->Label11, m_window->DBEMoblio},
        {m_window->Label9, m_window->DBEHAddress}, {m_window->Label7, m_window->DBEDes},
    };
    for (const auto &[label, edit] : pairs) {
        QVERIFY(label->text().endsWith(QStringLiteral("：")));
        QAccessibleInterface *field = QAccessible::queryAccessibleInterface(edit);
        QVERIFY(field);
        QCOMPARE(field->role(), QAccessible::EditableText);
        QCOMPARE(field->text(QAccessible::Name), label->text().chopped(1));
        QCOMPARE(field->text(QAccessible::Value), edit->text());
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(m_window->DBEName)->text(QAccessible::Value),
             QStringLiteral("张三"));
}

void TestAccessibility::navigatorButtonsNamedByHints()
{
    const QStringList hints{"第一条", "上一条", "下一条", "最后一条"};
    for (int i = 0; i < 4; ++i) {
        QPushButton *button = m_window->DBNavigator1->button(widgets::DBNavigator::Button(i));
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(button);
        QVERIFY(face);
        QCOMPARE(face->role(), QAccessible::Button);
        QCOMPARE(face->text(QAccessible::Name), hints[i]);
    }
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
