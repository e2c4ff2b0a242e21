#include "Application.h"
#include "DBNavigator.h"
#include "Query.h"
#include "TestSupport.h"
#include "TfrmMain.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <memory>
#include <vector>

using testsupport::card;
using testsupport::TempCardFile;
using widgets::Application;
using widgets::DBNavigator;

namespace {

// One visible component as the window declares it.
struct Declared
{
    const char *name;
    const char *parent;
    QRect geometry;
    const char *text; // caption, title or bound column; nullptr for none
};

const std::vector<Declared> &declaredComponents()
{
    static const std::vector<Declared> components = {
        {"Panel1", "frmMain", {0, 0, 792, 272}, nullptr},
        {"Panel2", "frmMain", {0, 272, 792, 184}, nullptr},
        {"Panel3", "frmMain", {0, 456, 792, 41}, nullptr},
        {"StatusBar1", "frmMain", {0, 497, 792, 19}, nullptr},
        {"DBGrid1", "Panel1", {1, 1, 790, 270}, nullptr},
        {"LabHJ", "Panel2", {680, 323, 97, 14}, ""},
        {"Label8", "Panel2", {640, 323, 36, 14}, "合计："},
        {"GroupBox1", "Panel2", {8, 6, 777, 171}, "Quillvane 为您实现信息化..."},
        {"Label4", "GroupBox1", {40, 24, 36, 14}, "姓名："},
        {"Label1", "GroupBox1", {16, 48, 60, 14}, "单位名称："},
        {"Label12", "GroupBox1", {424, 48, 36, 14}, "部门："},
        {"Label13", "GroupBox1", {608, 48, 36, 14}, "职务："},
        {"Label3", "GroupBox1", {16, 72, 60, 14}, "办公电话："},
        {"Label10", "GroupBox1", {224, 72, 36, 14}, "传真："},
        {"Label2", "GroupBox1", {400, 72, 60, 14}, "单位地址："},
        {"Label14", "GroupBox1", {40, 96, 36, 14}, "城市："},
        {"Label5", "GroupBox1", {224, 96, 36, 14}, "网址："},
        {"Label6", "GroupBox1", {418, 96, 42, 14}, "E_Mail："},
        {"Label15", "GroupBox1", {16, 120, 60, 14}, "住宅电话："},
        {"Label11", "GroupBox1", {200, 120, 60, 14}, "移动电话："},
        {"Label9", "GroupBox1", {400, 120, 60, 14}, "住宅地址："},
        {"Label7", "GroupBox1", {16, 144, 60, 14}, "经营范围："},
        {"DBEName", "GroupBox1", {80, 20, 113, 22}, "Name"},
        {"DBEDept", "GroupBox1", {80, 44, 297, 22}, "Dept"},
        {"DBEPart", "GroupBox1", {464, 44, 113, 22}, "Part"},
        {"DBEJob", "GroupBox1", {648, 44, 113, 22}, "Job"},
        {"DBEJPhone", "GroupBox1", {80, 68, 113, 22}, "JPhone"},
        {"DBEFax", "GroupBox1", {264, 68, 113, 22}, "Fax"},
        {"DBEJAddress", "GroupBox1", {464, 68, 297, 22}, "JAddress"},
        {"DBECity", "GroupBox1", {80, 92, 113, 22}, "City"},
        {"DBEWww", "GroupBox1", {264, 92, 113, 22}, "WWW"},
        {"DBEEmail", "GroupBox1", {464, 91, 113, 22}, "E_Mail"},
        {"DBEHPhone", "GroupBox1", {80, 116, 113, 22}, "HPhone"},
        {"DBEMoblio", "GroupBox1", {264, 116, 113, 22}, "Moblio"},
        {"DBEHAddress", "GroupBox1", {464, 116, 297, 22}, "HAddress"},
        {"DBEDes", "GroupBox1", {80, 140, 681, 22}, "Des"},
        {"DBNavigator1", "Panel3", {8, 8, 280, 25}, nullptr},
        {"ButNew", "Panel3", {288, 8, 70, 25}, "新增（&N）"},
        {"ButMed", "Panel3", {358, 8, 70, 25}, "修改（&M）"},
        {"ButSaveNew", "Panel3", {428, 8, 70, 25}, "保存（&S）"},
        {"ButCan", "Panel3", {498, 8, 70, 25}, "取消（&C）"},
        {"ButDel", "Panel3", {568, 8, 70, 25}, "删除（&D）"},
        {"ButQ", "Panel3", {638, 8, 70, 25}, "查询（&Q）"},
        {"ButExi", "Panel3", {708, 8, 70, 25}, "退出（&X）"},
        {"ButSaveEdit", "Panel3", {428, 8, 70, 25}, "保存（&S）"},
    };
    return components;
}

// The status panels: width, alignment and fixed text (nullptr: written by the
// program).
struct StatusPanel
{
    int width;
    Qt::Alignment alignment;
    const char *text;
};

const std::vector<StatusPanel> &statusPanels()
{
    static const std::vector<StatusPanel> panels = {
        {110, Qt::AlignLeft, "澄岚名片管理系统"},
        {80, Qt::AlignRight, nullptr},
        {200, Qt::AlignLeft, nullptr},
        {80, Qt::AlignRight, "技术支持："},
        {120, Qt::AlignLeft, nullptr},
        {110, Qt::AlignRight, "当前合计名片数："},
        {50, Qt::AlignLeft, nullptr},
    };
    return panels;
}

// Grid columns: title and display width in characters, in field order.
const std::vector<std::pair<QString, int>> gridColumns = {
    {QStringLiteral("姓名"), 12},     {QStringLiteral("单位名称"), 30},
    {QStringLiteral("部门"), 10},     {QStringLiteral("职务"), 10},
    {QStringLiteral("办公电话"), 15}, {QStringLiteral("传真"), 15},
    {QStringLiteral("地址"), 30},     {QStringLiteral("城市"), 10},
    {QStringLiteral("WWW"), 30},      {QStringLiteral("E_Mail"), 30},
    {QStringLiteral("住宅电话"), 15}, {QStringLiteral("移动电话"), 15},
    {QStringLiteral("家庭地址"), 30}, {QStringLiteral("经营范围"), 40},
};

// A declared component by name. The status bar's own panels are not looked
// at: they are reached by index.
QWidget *component(TfrmMain &window, const QString &name)
{
    if (name == QLatin1String("frmMain"))
        return &window;
    for (QWidget *widget : window.findChildren<QWidget *>(name))
        if (widget->parentWidget() != window.StatusBar1)
            return widget;
    return nullptr;
}

// A component's caption, title or bound column; nothing for the others.
QVariant textOf(const QWidget *widget)
{
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (const auto *edit = qobject_cast<const widgets::DBEdit *>(widget))
        return edit->DataField();
    if (const auto *group = qobject_cast<const QGroupBox *>(widget))
        return group->title();
    return QVariant();
}

std::vector<tools::Card> cards(int count)
{
    std::vector<tools::Card> result;
    for (int i = 1; i <= count; ++i)
        result.push_back(card({{"Name", QStringLiteral("名片%1").arg(i)},
                               {"Dept", QStringLiteral("单位%1").arg(i)},
                               {"JPhone", QStringLiteral("010-%1").arg(i)},
                               {"JAddress", QStringLiteral("地址%1").arg(i)},
                               {"Del", "否"}}));
    return result;
}

// The status panels, left to right.
QList<QLabel *> statusPanelLabels(const TfrmMain &window)
{
    QList<QLabel *> panels =
        window.StatusBar1->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    std::sort(panels.begin(), panels.end(),
              [](const QLabel *a, const QLabel *b) { return a->x() < b->x(); });
    return panels;
}

QList<QRect> statusPanelRects(const TfrmMain &window)
{
    QList<QRect> rects;
    for (const QLabel *panel : statusPanelLabels(window))
        rects << panel->geometry();
    return rects;
}

QList<QRect> declaredStatusPanelRects()
{
    QList<QRect> rects;
    int left = 0;
    for (const StatusPanel &panel : statusPanels()) {
        rects << QRect(left, 0, panel.width, 19);
        left += panel.width;
    }
    return rects;
}

// Some of the widget's pixels are on the screen, drawn by itself or by a child
// that covers it (a scroll area is covered by its viewport).
bool canBeSeen(const QWidget *widget)
{
    if (!widget->visibleRegion().isEmpty())
        return true;
    const QList<QWidget *> children =
        widget->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    return std::any_of(children.begin(), children.end(),
                       [](const QWidget *child) { return child->isVisible() && canBeSeen(child); });
}

// Types text key by key, as a keyboard that sends each character does.
void typeKeys(QWidget *widget, const QString &text)
{
    for (QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// Commits text as an input method does after the user has picked it.
void commitInput(QWidget *widget, const QString &text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(widget, &event);
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void window();
    void declared_data();
    void declared();
    void statusBar();
    void onlyHiddenLabelsUnseen();
    void enlargedWindowGrowsOnlyGrid();
    void tabWalk_data();
    void tabWalk();
    void gridColumns();
    void navigatorHints();
    void navigatorEnds_data();
    void navigatorEnds();
    void narrowEditByteLimit_data();
    void narrowEditByteLimit();

private:
    // Shows a window over a fresh card file with `count` cards at its
    // declared size; false when it did not come up.
    bool openWindow(int count = 3);

    std::unique_ptr<TempCardFile> m_file;
    std::unique_ptr<TfrmMain> m_window;
};

void TestLayout::initTestCase()
{
    Application::instance().requireAnswers(true);
}

void TestLayout::cleanup()
{
    m_window.reset();
    m_file.reset();
    const QStringList failures = Application::instance().takeBoxFailures();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
}

bool TestLayout::openWindow(int count)
{
    m_file = std::make_unique<TempCardFile>(cards(count));
    m_window = std::make_unique<TfrmMain>(m_file->folder() + QStringLiteral("/namecards"));
    m_window->show();
    return QTest::qWaitForWindowExposed(m_window.get());
}

void TestLayout::window()
{
    QVERIFY(openWindow());
    TfrmMain &window = *m_window;
    QCOMPARE(window.windowTitle(), QStringLiteral("澄岚名片管理系统"));
    QCOMPARE(window.size(), QSize(792, 516));
    QCOMPARE(window.font().family(), QStringLiteral("Arial"));
    // Centred on the desktop, whatever the declared place.
    QCOMPARE(window.frameGeometry().center(), window.screen()->availableGeometry().center());
}

void TestLayout::declared_data()
{
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QVariant>("text");

    for (const Declared &declared : declaredComponents()) {
        QTest::newRow(declared.name)
            << QString::fromLatin1(declared.parent) << declared.geometry
            << (declared.text ? QVariant(QString::fromUtf8(declared.text)) : QVariant());
    }
}

void TestLayout::declared()
{
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    QFETCH(QVariant, text);

    QVERIFY(openWindow());
    TfrmMain &window = *m_window;
    QWidget *widget = component(window, QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget(), component(window, parent));
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(textOf(widget), text);
    QCOMPARE(widget->font(), window.font());
}

void TestLayout::statusBar()
{
    QVERIFY(openWindow(7));
    TfrmMain &window = *m_window;
    QCOMPARE(window.StatusBar1->panelCount(), int(statusPanels().size()));
    QCOMPARE(statusPanelRects(window), declaredStatusPanelRects());
    const QList<QLabel *> panels = statusPanelLabels(window);
    for (std::size_t i = 0; i < statusPanels().size(); ++i) {
        const StatusPanel &declared = statusPanels()[i];
        QCOMPARE(panels[qsizetype(i)]->alignment() & Qt::AlignHorizontal_Mask, declared.alignment);
        if (declared.text)
            QCOMPARE(window.StatusBar1->panelText(int(i)), QString::fromUtf8(declared.text));
    }
    QCOMPARE(window.StatusBar1->panelText(6), QStringLiteral("7"));
}

// Every widget that is shown can be seen at the declared size, except the two
// labels that lie below the bottom of their panel.
void TestLayout::onlyHiddenLabelsUnseen()
{
    QVERIFY(openWindow());
    TfrmMain &window = *m_window;
    QStringList unseen;
    for (const QWidget *widget : window.findChildren<QWidget *>())
        if (widget->isVisible() && !canBeSeen(widget))
            unseen << widget->objectName();
    unseen.sort();
    QCOMPARE(unseen.join(QLatin1Char(' ')), QStringLiteral("LabHJ Label8"));
}

void TestLayout::enlargedWindowGrowsOnlyGrid()
{
    QVERIFY(openWindow());
    TfrmMain &window = *m_window;
    window.resize(1000, 700);
    QTRY_COMPARE(window.Panel1->geometry(), QRect(0, 0, 1000, 456));
    QCOMPARE(window.Panel2->geometry(), QRect(0, 456, 1000, 184));
    QCOMPARE(window.Panel3->geometry(), QRect(0, 640, 1000, 41));
    QCOMPARE(window.StatusBar1->geometry(), QRect(0, 681, 1000, 19));
    QCOMPARE(window.DBGrid1->geometry(), QRect(1, 1, 998, 454));

    const QStringList bands{QStringLiteral("Panel1"), QStringLiteral("Panel2"),
                            QStringLiteral("Panel3"), QStringLiteral("StatusBar1"),
                            QStringLiteral("DBGrid1")};
    for (const Declared &declared : declaredComponents()) {
        const QString name = QString::fromLatin1(declared.name);
        if (bands.contains(name))
            continue;
        QWidget *widget = component(window, name);
        QVERIFY(widget);
        QVERIFY2(widget->geometry() == declared.geometry, qPrintable(name));
    }
    QCOMPARE(statusPanelRects(window), declaredStatusPanelRects());
}

void TestLayout::tabWalk_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("walk");

    const QStringList edits{"DBEName",   "DBEDept",     "DBEPart",     "DBEJob", "DBEJPhone",
                            "DBEFax",    "DBEJAddress", "DBECity",     "DBEWww", "DBEEmail",
                            "DBEHPhone", "DBEMoblio",   "DBEHAddress", "DBEDes"};
    QTest::newRow("browsing: buttons only")
        << "browse"
        << "ButNew" << QStringList{"ButMed", "ButDel", "ButQ", "ButExi", "ButNew", "ButMed"};
    QTest::newRow("modifying: edits, then the enabled visible buttons")
        << "modify"
        << "DBEName"
        << edits.mid(1) + QStringList{"ButCan", "ButExi", "ButSaveEdit", "DBEName", "DBEDept"};
    QTest::newRow("adding: the new-card save button in its place")
        << "add"
        << "DBEName" << edits.mid(1) + QStringList{"ButSaveNew", "ButCan", "ButExi", "DBEName"};
}

void TestLayout::tabWalk()
{
    QFETCH(QString, mode);
    QFETCH(QString, start);
    QFETCH(QStringList, walk);

    QVERIFY(openWindow());
    TfrmMain &window = *m_window;
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    if (mode == QLatin1String("modify"))
        window.ButMed->click();
    else if (mode == QLatin1String("add"))
        window.ButNew->click();
    QWidget *first = component(window, start);
    first->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), first);

    QStringList visited;
    for (qsizetype i = 0; i < walk.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const QWidget *focus = QApplication::focusWidget();
        QVERIFY2(focus, qPrintable(QStringLiteral("no focus after %1").arg(visited.join(' '))));
        visited << focus->objectName();
    }
    QCOMPARE(visited, walk);
}

void TestLayout::gridColumns()
{
    QVERIFY(openWindow());
    TfrmMain &window = *m_window;
    const widgets::DBGrid *grid = window.DBGrid1;
    QCOMPARE(grid->font(), window.font());
    QCOMPARE(grid->horizontalHeader()->font(), window.font());
    QCOMPARE(grid->model()->columnCount(), int(::gridColumns.size()));

    // Widths follow from the form's font, which the grid and its titles use.
    const QFontMetrics metrics(window.font());
    const int digit = metrics.horizontalAdvance(QLatin1Char('0'));
    for (int c = 0; c < int(::gridColumns.size()); ++c) {
        const auto &[title, displayWidth] = ::gridColumns[std::size_t(c)];
        QCOMPARE(grid->model()->headerData(c, Qt::Horizontal).toString(), title);
        const int expected =
            std::max(displayWidth * digit + 4, metrics.horizontalAdvance(title) + 4);
        QVERIFY2(grid->columnWidth(c) == expected, qPrintable(QStringLiteral("%1: %2, expected %3")
                                                                  .arg(title)
                                                                  .arg(grid->columnWidth(c))
                                                                  .arg(expected)));
    }
}

void TestLayout::navigatorHints()
{
    QVERIFY(openWindow());
    TfrmMain &window = *m_window;
    const QStringList hints{QStringLiteral("第一条"), QStringLiteral("上一条"),
                            QStringLiteral("下一条"), QStringLiteral("最后一条")};
    for (int i = 0; i < 4; ++i) {
        const QPushButton *button = window.DBNavigator1->button(DBNavigator::Button(i));
        QCOMPARE(button->toolTip(), hints[i]);
        QCOMPARE(button->geometry(), QRect(i * 70, 0, 70, 25));
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        QVERIFY(button->isVisible());
    }
    for (const QPushButton *button :
         {window.ButNew, window.ButMed, window.ButSaveNew, window.ButCan, window.ButDel,
          window.ButQ, window.ButExi, window.ButSaveEdit})
        QVERIFY2(button->toolTip().isEmpty(), qPrintable(button->objectName()));
}

void TestLayout::navigatorEnds_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<int>("row");
    QTest::addColumn<QList<bool>>("enabled"); // First, Prior, Next, Last

    using Flags = QList<bool>;
    const int first = DBNavigator::First, prior = DBNavigator::Prior, next = DBNavigator::Next,
              last = DBNavigator::Last;
    QTest::newRow("at the first row") << 3 << QList<int>{} << 0 << Flags{false, false, true, true};
    QTest::newRow("next") << 3 << QList<int>{next} << 1 << Flags{true, true, true, true};
    QTest::newRow("last") << 3 << QList<int>{last} << 2 << Flags{true, true, false, false};
    QTest::newRow("last, prior") << 3 << QList<int>{last, prior} << 1
                                 << Flags{true, true, true, true};
    QTest::newRow("last, first") << 3 << QList<int>{last, first} << 0
                                 << Flags{false, false, true, true};
    QTest::newRow("one card") << 1 << QList<int>{} << 0 << Flags{false, false, false, false};
    QTest::newRow("no card") << 0 << QList<int>{} << -1 << Flags{false, false, false, false};
}

void TestLayout::navigatorEnds()
{
    QFETCH(int, count);
    QFETCH(QList<int>, clicks);
    QFETCH(int, row);
    QFETCH(QList<bool>, enabled);

    QVERIFY(openWindow(count));
    TfrmMain &window = *m_window;
    for (int button : clicks)
        QTest::mouseClick(window.DBNavigator1->button(DBNavigator::Button(button)), Qt::LeftButton);
    QCOMPARE(window.ADOQuery1->currentRow(), row);
    QList<bool> actual;
    for (int i = 0; i < 4; ++i)
        actual << window.DBNavigator1->button(DBNavigator::Button(i))->isEnabled();
    QCOMPARE(actual, enabled);
    if (row >= 0)
        QCOMPARE(window.DBGrid1->currentIndex().row(), row);
}

void TestLayout::narrowEditByteLimit_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("after");

    for (const char *edit : {"DBEPart", "DBECity"}) {
        const QString name = QString::fromLatin1(edit);
        for (const char *how : {"typed", "pasted", "committed"}) {
            const QString way = QString::fromLatin1(how);
            QTest::addRow("%s, %s: ten digits of eleven", edit, how)
                << name << "" << way << "12345678901"
                << "1234567890";
            QTest::addRow("%s, %s: five Chinese characters of six", edit, how)
                << name << "" << way << "一二三四五六"
                << "一二三四五";
            QTest::addRow("%s, %s: a Chinese character that would need the tenth and an "
                          "eleventh byte",
                          edit, how)
                << name << "1" << way << "一二三四五"
                << "1一二三四";
            QTest::addRow("%s, %s: nothing fits after ten bytes", edit, how)
                << name << "一二三四五" << way << "1"
                << "一二三四五";
        }
    }
}

// A narrow edit of size 10 counts bytes of the national encoding: ten ASCII
// characters or five Chinese ones, however the text comes in.
void TestLayout::narrowEditByteLimit()
{
    QFETCH(QString, edit);
    QFETCH(QString, before);
    QFETCH(QString, how);
    QFETCH(QString, input);
    QFETCH(QString, after);

    QVERIFY(openWindow(1));
    TfrmMain &window = *m_window;
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.ButMed->click();
    QCOMPARE(window.ADOQuery1->state(), dataset::Query::State::Edit);
    auto *target = qobject_cast<widgets::DBEdit *>(component(window, edit));
    QVERIFY(target);
    target->setFocus();
    target->selectAll();
    QTest::keyClick(target, Qt::Key_Delete);
    QCOMPARE(target->text(), QString());
    typeKeys(target, before);
    QCOMPARE(target->text(), before);

    if (how == QLatin1String("typed")) {
        typeKeys(target, input);
    } else if (how == QLatin1String("pasted")) {
        QApplication::clipboard()->setText(input);
        QTest::keySequence(target, QKeySequence::Paste);
    } else {
        commitInput(target, input);
    }
    QCOMPARE(target->text(), after);

    window.ButSaveEdit->click();
    QCOMPARE(window.ADOQuery1->state(), dataset::Query::State::Browse);
    const QString column = target->DataField();
    QCOMPARE(testsupport::rows(m_file->path(), QStringLiteral("select %1 from Dept").arg(column)),
             (QList<QStringList>{{after}}));
}

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
