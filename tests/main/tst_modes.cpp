// The main window's modes: what New, Modify, Save and Cancel enable, show and
// focus, the required-field check, the key filters of the phone edits and the
// grid, Escape, the input limits, and what a move does to a card being edited.

#include "Application.h"
#include "CardStore.h"
#include "CardTable.h"
#include "DBNavigator.h"
#include "GuiSupport.h"
#include "Query.h"
#include "TestSupport.h"
#include "TfrmMain.h"

#include <QApplication>
#include <QPushButton>
#include <QtTest>

using guisupport::errorBox;
using guisupport::listedNames;
using guisupport::typeText;
using testsupport::card;
using testsupport::null;
using testsupport::rows;
using widgets::Application;
using widgets::DBNavigator;
using widgets::MessageBoxSpec;

namespace {

const QString requiredText = QStringLiteral("姓名、单位、办公电话、单位地址不能为空！");
const QString allColumns = QStringLiteral(
    "select Name, Dept, Part, Job, JPhone, Fax, JAddress, City, WWW, E_Mail, HPhone, Moblio, "
    "HAddress, Des, Del from Dept order by ID");

std::vector<testsupport::Card> threeCards()
{
    return {card({{"Name", "张三"},
                  {"Dept", "北方仪器公司"},
                  {"Part", "销售部"},
                  {"Job", "经理"},
                  {"JPhone", "010-62751234"},
                  {"Fax", "010-62751235"},
                  {"JAddress", "北京市海淀路5号"},
                  {"City", "北京"},
                  {"Del", "否"}}),
            card({{"Name", "李四"},
                  {"Dept", "南方电子厂"},
                  {"JPhone", "020-87654321"},
                  {"JAddress", "广州市天河路8号"},
                  {"City", "广州"},
                  {"Del", "否"}}),
            card({{"Name", "王五"},
                  {"Dept", "东海船舶"},
                  {"JPhone", "021-55550000"},
                  {"JAddress", "上海市浦东大道1号"},
                  {"City", "上海"},
                  {"Del", "否"}})};
}

MessageBoxSpec requiredBox()
{
    return {Application::instance().Title(), requiredText, QMessageBox::NoIcon, QMessageBox::Ok,
            QMessageBox::Ok};
}

// A card file whose table gives Del no default, so that every flag a saved
// card carries comes from the program, and a main window over it.
class Fixture : public guisupport::MainWindowFixture
{
public:
    explicit Fixture(const std::vector<testsupport::Card> &cards = threeCards())
        : MainWindowFixture(cards,
                            QStringLiteral("ALTER TABLE Dept RENAME TO Old; %1; "
                                           "INSERT INTO Dept SELECT * FROM Old; DROP TABLE Old")
                                .arg(store::createTableStatement().remove(
                                    QStringLiteral(" DEFAULT '%1'").arg(store::liveFlag))))
    {
    }

    QList<QStringList> cards() const { return rows(path(), allColumns); }
};

void typeInto(QWidget *edit, const QString &text)
{
    edit->setFocus();
    typeText(text);
}

// The enabled and visible states of the edits and the eight buttons in one
// line: E enabled, D disabled, H hidden.
QString modeOf(const TfrmMain &w)
{
    int enabled = 0;
    for (const widgets::DBEdit *edit : w.detailEdits())
        enabled += edit->isEnabled() ? 1 : 0;
    QStringList parts{enabled == 14  ? QStringLiteral("edits E")
                      : enabled == 0 ? QStringLiteral("edits D")
                                     : QStringLiteral("edits %1 of 14 E").arg(enabled)};
    const std::pair<const char *, const QPushButton *> buttons[] = {{"New", w.ButNew},
                                                                    {"Med", w.ButMed},
                                                                    {"SaveNew", w.ButSaveNew},
                                                                    {"SaveEdit", w.ButSaveEdit},
                                                                    {"Can", w.ButCan},
                                                                    {"Del", w.ButDel},
                                                                    {"Q", w.ButQ},
                                                                    {"Exi", w.ButExi}};
    for (const auto &[name, button] : buttons)
        parts.append(QStringLiteral("%1 %2").arg(QLatin1String(name),
                                                 button->isHidden()    ? QStringLiteral("H")
                                                 : button->isEnabled() ? QStringLiteral("E")
                                                                       : QStringLiteral("D")));
    return parts.join(QStringLiteral(", "));
}

const QString browseMode =
    QStringLiteral("edits D, New E, Med E, SaveNew D, SaveEdit D, Can D, Del E, Q E, Exi E");
const QString addMode =
    QStringLiteral("edits E, New D, Med D, SaveNew E, SaveEdit H, Can E, Del D, Q D, Exi E");
const QString modifyMode =
    QStringLiteral("edits E, New D, Med D, SaveNew H, SaveEdit E, Can E, Del D, Q D, Exi E");

QString stateName(dataset::Query::State state)
{
    switch (state) {
    case dataset::Query::State::Inactive:
        return QStringLiteral("Inactive");
    case dataset::Query::State::Browse:
        return QStringLiteral("Browse");
    case dataset::Query::State::Edit:
        return QStringLiteral("Edit");
    case dataset::Query::State::Insert:
        return QStringLiteral("Insert");
    }
    return QString();
}

// Types text into an edit of a new card and checks what the edit then holds.
void checkTypedIntoNewCard(const QString &edit, const QString &typed, const QString &expected)
{
    Fixture f;
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    w.ButNew->click();
    auto *target = w.findChild<widgets::DBEdit *>(edit);
    QVERIFY(target);
    typeInto(target, typed);
    QCOMPARE(target->text(), expected);
}

} // namespace

class TestModes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void modesAfterEachHandler_data();
    void modesAfterEachHandler();
    void requiredCheck_data();
    void requiredCheck();
    void keysTypedRightAfterAnAcceleratorReachTheNameEdit();
    void newThenCancelLeavesTheListAsBefore();
    void savedNewCardHoldsExactlyTheTypedValues();
    void phoneEditsTakeDigitsAndHyphensOnly_data();
    void phoneEditsTakeDigitsAndHyphensOnly();
    void escape_data();
    void escape();
    void typedModifyPostedByAMoveKeepsModifyMode();
    void untypedModifyCancelledByAMoveThenTypingEditsTheNextCard();
    void newCardLeftByAMove_data();
    void newCardLeftByAMove();
    void modifyOnAnEmptyListStaysInBrowseMode();
    void typingIntoTheGridChangesNoCell();
    void sizeTenEditLimit_data();
    void sizeTenEditLimit();
};

void TestModes::initTestCase()
{
    Application::instance().requireAnswers(true);
}

void TestModes::cleanup()
{
    const QStringList failures = Application::instance().takeBoxFailures();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
}

void TestModes::modesAfterEachHandler_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("state");
    // Empty: the focus is on an enabled control outside the detail edits.
    QTest::addColumn<QString>("focus");

    const QStringList fill{"name", "dept", "phone", "address"};
    QTest::newRow("start") << QStringList() << "" << browseMode << "Browse"
                           << "";
    QTest::newRow("new") << QStringList{"new"} << "" << addMode << "Insert"
                         << "DBEName";
    QTest::newRow("modify") << QStringList{"modify"} << "" << modifyMode << "Edit"
                            << "DBEName";
    QTest::newRow("new, check fails on the company")
        << QStringList{"new", "name", "phone", "address", "saveNew"} << "required" << addMode
        << "Insert"
        << "DBEName";
    QTest::newRow("modify, check fails on the phone")
        << QStringList{"modify", "clearPhone", "saveEdit"} << "required" << modifyMode << "Edit"
        << "DBEName";
    QTest::newRow("new, save refused")
        << QStringList{"refuse", "new"} + fill + QStringList{"saveNew"} << "refused" << addMode
        << "Insert"
        << "DBEJAddress";
    QTest::newRow("modify, save refused")
        << QStringList{"refuse", "modify", "name", "saveEdit"} << "refused" << modifyMode << "Edit"
        << "DBEName";
    QTest::newRow("new, saved")
        << QStringList{"new"} + fill + QStringList{"saveNew"} << ""
        << "edits D, New E, Med E, SaveNew D, SaveEdit H, Can E, Del E, Q E, Exi E"
        << "Browse"
        << "";
    QTest::newRow("modify, saved")
        << QStringList{"modify", "name", "saveEdit"} << ""
        << "edits D, New E, Med E, SaveNew H, SaveEdit D, Can E, Del E, Q E, Exi E"
        << "Browse"
        << "";
    QTest::newRow("new, saved, cancel")
        << QStringList{"new"} + fill + QStringList{"saveNew", "cancel"} << ""
        << "edits D, New E, Med E, SaveNew D, SaveEdit H, Can D, Del E, Q E, Exi E"
        << "Browse"
        << "";
    QTest::newRow("modify, saved, cancel")
        << QStringList{"modify", "name", "saveEdit", "cancel"} << ""
        << "edits D, New E, Med E, SaveNew H, SaveEdit D, Can D, Del E, Q E, Exi E"
        << "Browse"
        << "";
    QTest::newRow("new, cancel")
        << QStringList{"new", "name", "cancel"} << ""
        << "edits D, New E, Med E, SaveNew D, SaveEdit H, Can D, Del E, Q E, Exi E"
        << "Browse"
        << "";
    QTest::newRow("modify, cancel")
        << QStringList{"modify", "name", "cancel"} << ""
        << "edits D, New E, Med E, SaveNew H, SaveEdit D, Can D, Del E, Q E, Exi E"
        << "Browse"
        << "";
}

void TestModes::modesAfterEachHandler()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, box);
    QFETCH(QString, mode);
    QFETCH(QString, state);
    QFETCH(QString, focus);

    Fixture f;
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    if (box == QLatin1String("required"))
        Application::instance().expectBox(requiredBox(), QMessageBox::Ok);
    else if (box == QLatin1String("refused"))
        Application::instance().expectBox(errorBox(QStringLiteral("refused.")), QMessageBox::Ok);

    for (const QString &step : steps) {
        if (step == QLatin1String("new")) {
            w.ButNew->click();
        } else if (step == QLatin1String("modify")) {
            w.ButMed->click();
        } else if (step == QLatin1String("saveNew")) {
            w.ButSaveNew->click();
        } else if (step == QLatin1String("saveEdit")) {
            w.ButSaveEdit->click();
        } else if (step == QLatin1String("cancel")) {
            w.ButCan->click();
        } else if (step == QLatin1String("name")) {
            typeInto(w.DBEName, QStringLiteral("Zhou"));
        } else if (step == QLatin1String("dept")) {
            typeInto(w.DBEDept, QStringLiteral("Acme"));
        } else if (step == QLatin1String("phone")) {
            typeInto(w.DBEJPhone, QStringLiteral("010-1"));
        } else if (step == QLatin1String("address")) {
            typeInto(w.DBEJAddress, QStringLiteral("Road 1"));
        } else if (step == QLatin1String("clearPhone")) {
            w.DBEJPhone->setFocus();
            w.DBEJPhone->selectAll();
            QTest::keyClick(w.DBEJPhone, Qt::Key_Backspace);
            QCOMPARE(w.DBEJPhone->text(), QString());
        } else if (step == QLatin1String("refuse")) {
            testsupport::exec(f.path(),
                              QStringLiteral("CREATE TRIGGER no_insert BEFORE INSERT ON Dept BEGIN "
                                             "SELECT RAISE(ABORT, 'refused'); END; "
                                             "CREATE TRIGGER no_update BEFORE UPDATE ON Dept BEGIN "
                                             "SELECT RAISE(ABORT, 'refused'); END"));
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
        }
    }

    QCOMPARE(modeOf(w), mode);
    QCOMPARE(stateName(w.ADOQuery1->state()), state);
    QWidget *focused = QApplication::focusWidget();
    if (!focus.isEmpty()) {
        QVERIFY(focused);
        QCOMPARE(focused->objectName(), focus);
    } else {
        QVERIFY2(focused && focused->isEnabled() && focused->window() == &w,
                 qPrintable(focused ? focused->objectName() : QStringLiteral("no focus")));
        const auto &edits = w.detailEdits();
        QVERIFY(std::find(edits.begin(), edits.end(), focused) == edits.end());
    }
}

void TestModes::requiredCheck_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("dept");
    QTest::addColumn<QString>("phone");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("passes");

    QTest::newRow("all four filled") << "Zhou"
                                     << "Acme"
                                     << "010-1"
                                     << "Road 1" << true;
    QTest::newRow("name empty") << ""
                                << "Acme"
                                << "010-1"
                                << "Road 1" << false;
    QTest::newRow("company empty") << "Zhou"
                                   << ""
                                   << "010-1"
                                   << "Road 1" << false;
    QTest::newRow("office phone empty") << "Zhou"
                                        << "Acme"
                                        << ""
                                        << "Road 1" << false;
    QTest::newRow("company address empty") << "Zhou"
                                           << "Acme"
                                           << "010-1"
                                           << "" << false;
    QTest::newRow("one blank counts as filled") << " "
                                                << " "
                                                << "1"
                                                << " " << true;
}

void TestModes::requiredCheck()
{
    QFETCH(QString, name);
    QFETCH(QString, dept);
    QFETCH(QString, phone);
    QFETCH(QString, address);
    QFETCH(bool, passes);

    Fixture f;
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    const QList<QStringList> before = f.cards();
    w.ButNew->click();
    typeInto(w.DBEName, name);
    typeInto(w.DBEDept, dept);
    typeInto(w.DBEJPhone, phone);
    typeInto(w.DBEJAddress, address);
    // The focus stands on the last edit, away from the name.
    w.DBEDes->setFocus();
    if (!passes)
        Application::instance().expectBox(requiredBox(), QMessageBox::Ok);
    w.ButSaveNew->click();

    if (passes) {
        QCOMPARE(f.cards().size(), before.size() + 1);
        const QStringList saved = f.cards().last();
        QCOMPARE(saved.mid(0, 2), (QStringList{name, dept}));
        QCOMPARE(saved.at(4), phone);
        QCOMPARE(saved.at(6), address);
        return;
    }
    QCOMPARE(QApplication::focusWidget(), w.DBEName);
    QCOMPARE(stateName(w.ADOQuery1->state()), QStringLiteral("Insert"));
    QCOMPARE(modeOf(w), addMode);
    QCOMPARE(w.DBEDept->text(), dept);
    QCOMPARE(f.cards(), before);
}

void TestModes::keysTypedRightAfterAnAcceleratorReachTheNameEdit()
{
    Fixture f;
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    QTest::keyClick(&w, Qt::Key_N, Qt::AltModifier);
    QCOMPARE(modeOf(w), addMode);
    typeText(QStringLiteral("Zhou"));
    QCOMPARE(w.DBEName->text(), QStringLiteral("Zhou"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
    QCOMPARE(stateName(w.ADOQuery1->state()), QStringLiteral("Browse"));
    QCOMPARE(modeOf(w), QStringLiteral("edits D, New E, Med E, SaveNew D, SaveEdit H, Can D, "
                                       "Del E, Q E, Exi E"));
}

void TestModes::newThenCancelLeavesTheListAsBefore()
{
    Fixture f;
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    w.DBNavigator1->button(DBNavigator::Next)->click();
    const QStringList names = listedNames(*w.ADOQuery1);
    const QList<QStringList> stored = f.cards();

    w.ButNew->click();
    QCOMPARE(w.ADOQuery1->RecordCount(), names.size() + 1);
    typeInto(w.DBEName, QStringLiteral("Zhou"));
    w.ButCan->click();

    QCOMPARE(w.ADOQuery1->RecordCount(), names.size());
    QCOMPARE(listedNames(*w.ADOQuery1), names);
    QCOMPARE(w.ADOQuery1->currentRow(), 1);
    QCOMPARE(w.DBEName->text(), QStringLiteral("李四"));
    QCOMPARE(f.cards(), stored);
}

void TestModes::savedNewCardHoldsExactlyTheTypedValues()
{
    Fixture f;
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    const QString countBefore = w.StatusBar1->panelText(6);
    QCOMPARE(countBefore, QStringLiteral("3"));
    const QStringList typed{"赵六",          "西山软件有限公司",  "研发部",          "工程师",
                            "010-88886666",  "010-88886667",      "北京市西山路2号", "北京",
                            "www.xishan.cn", "zl@xishan.cn",      "010-1234567",     "13911112222",
                            "北京市西城区",  "软件开发与技术服务"};

    w.ButNew->click();
    const auto &edits = w.detailEdits();
    for (std::size_t i = 0; i < edits.size(); ++i)
        typeInto(edits[i], typed[qsizetype(i)]);
    w.ButSaveNew->click();

    QCOMPARE(f.cards().size(), 4);
    QCOMPARE(f.cards().last(), typed + QStringList{"否"});
    QCOMPARE(w.StatusBar1->panelText(6), countBefore);
    QCOMPARE(w.ADOQuery1->RecordCount(), 4);
    QCOMPARE(w.ADOQuery1->currentRow(), 3);
    QCOMPARE(stateName(w.ADOQuery1->state()), QStringLiteral("Browse"));
}

void TestModes::phoneEditsTakeDigitsAndHyphensOnly_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    const QString number = QStringLiteral("+86 (10) 6275-1234");
    QTest::newRow("office phone") << "DBEJPhone" << number << "86106275-1234";
    QTest::newRow("fax") << "DBEFax" << number << "86106275-1234";
    QTest::newRow("home phone") << "DBEHPhone" << number << "86106275-1234";
    QTest::newRow("mobile") << "DBEMoblio" << number << "86106275-1234";
    QTest::newRow("mobile, Chinese and full-width digits") << "DBEMoblio"
                                                           << "手机１３9a00"
                                                           << "900";
    QTest::newRow("company takes the keys unchanged") << "DBEDept" << number << number;
}

void TestModes::phoneEditsTakeDigitsAndHyphensOnly()
{
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    checkTypedIntoNewCard(edit, typed, expected);
}

void TestModes::escape_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<bool>("restores");

    QTest::newRow("fax keeps its text") << "DBEFax" << false;
    QTest::newRow("city puts back its value") << "DBECity" << true;
}

void TestModes::escape()
{
    QFETCH(QString, edit);
    QFETCH(bool, restores);

    Fixture f;
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    w.ButMed->click();
    auto *target = w.findChild<widgets::DBEdit *>(edit);
    QVERIFY(target);
    const QString stored = target->text();
    QVERIFY(!stored.isEmpty());
    typeInto(target, QStringLiteral("9"));
    const QString typed = target->text();
    QCOMPARE(typed, stored + QLatin1Char('9'));

    QTest::keyClick(target, Qt::Key_Escape);
    if (restores) {
        QCOMPARE(target->text(), stored);
        QCOMPARE(target->selectedText(), stored);
    } else {
        QCOMPARE(target->text(), typed);
        QCOMPARE(target->selectedText(), QString());
    }
    QCOMPARE(stateName(w.ADOQuery1->state()), QStringLiteral("Edit"));
    QCOMPARE(modeOf(w), modifyMode);
}

void TestModes::typedModifyPostedByAMoveKeepsModifyMode()
{
    Fixture f;
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    w.ButMed->click();
    QCOMPARE(w.DBEName->selectedText(), QStringLiteral("张三"));
    typeText(QStringLiteral("Zhou"));
    QCOMPARE(w.DBEName->text(), QStringLiteral("Zhou"));

    w.DBNavigator1->button(DBNavigator::Next)->click();
    QCOMPARE(f.cards().at(0).at(0), QStringLiteral("Zhou"));
    QCOMPARE(f.cards().at(0).at(14), QStringLiteral("否"));
    QCOMPARE(w.ADOQuery1->currentRow(), 1);
    QCOMPARE(stateName(w.ADOQuery1->state()), QStringLiteral("Browse"));
    QCOMPARE(modeOf(w), modifyMode);
    QCOMPARE(w.DBEName->text(), QStringLiteral("李四"));

    const QList<QStringList> stored = f.cards();
    Application::instance().expectBox(
        errorBox(QStringLiteral("ADOQuery1: Dataset not in edit or insert mode.")),
        QMessageBox::Ok);
    w.ButSaveEdit->click();
    QCOMPARE(modeOf(w), modifyMode);
    QCOMPARE(f.cards(), stored);
}

void TestModes::untypedModifyCancelledByAMoveThenTypingEditsTheNextCard()
{
    Fixture f;
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    const QList<QStringList> stored = f.cards();
    w.ButMed->click();
    w.DBNavigator1->button(DBNavigator::Next)->click();
    QCOMPARE(stateName(w.ADOQuery1->state()), QStringLiteral("Browse"));
    QCOMPARE(w.ADOQuery1->currentRow(), 1);
    QCOMPARE(modeOf(w), modifyMode);
    QCOMPARE(f.cards(), stored);

    typeInto(w.DBEJPhone, QStringLiteral("7"));
    QCOMPARE(stateName(w.ADOQuery1->state()), QStringLiteral("Edit"));
    QCOMPARE(w.ADOQuery1->currentRow(), 1);
    w.ButSaveEdit->click();

    QList<QStringList> expected = stored;
    expected[1][4] += QLatin1Char('7');
    QCOMPARE(f.cards(), expected);
    QCOMPARE(stateName(w.ADOQuery1->state()), QStringLiteral("Browse"));
    QCOMPARE(
        modeOf(w),
        QStringLiteral("edits D, New E, Med E, SaveNew H, SaveEdit D, Can E, Del E, Q E, Exi E"));
}

void TestModes::newCardLeftByAMove_data()
{
    QTest::addColumn<QString>("move");
    QTest::addColumn<QString>("typed");

    for (const char *move : {"navigator", "grid click", "arrow key"}) {
        QTest::addRow("%s, typed", move) << move << "Zhou";
        QTest::addRow("%s, untouched", move) << move << "";
    }
}

void TestModes::newCardLeftByAMove()
{
    QFETCH(QString, move);
    QFETCH(QString, typed);

    Fixture f;
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    const QList<QStringList> stored = f.cards();
    w.ButNew->click();
    typeInto(w.DBEName, typed);

    if (move == QLatin1String("navigator")) {
        w.DBNavigator1->button(DBNavigator::First)->click();
    } else if (move == QLatin1String("grid click")) {
        const QRect cell = w.DBGrid1->visualRect(w.DBGrid1->model()->index(0, 1));
        QTest::mouseClick(w.DBGrid1->viewport(), Qt::LeftButton, {}, cell.center());
    } else {
        QTest::mouseClick(w.DBGrid1->viewport(), Qt::LeftButton, {},
                          w.DBGrid1->visualRect(w.DBGrid1->currentIndex()).center());
        QCOMPARE(QApplication::focusWidget(), w.DBGrid1);
        QCOMPARE(stateName(w.ADOQuery1->state()), QStringLiteral("Insert"));
        QTest::keyClick(w.DBGrid1, Qt::Key_Up);
    }

    QCOMPARE(stateName(w.ADOQuery1->state()), QStringLiteral("Browse"));
    QCOMPARE(modeOf(w), addMode);
    if (typed.isEmpty()) {
        QCOMPARE(f.cards(), stored);
        QCOMPARE(w.ADOQuery1->RecordCount(), 3);
        return;
    }
    QCOMPARE(f.cards().size(), 4);
    QStringList saved(15, null);
    saved[0] = typed;
    saved[14] = QStringLiteral("否");
    QCOMPARE(f.cards().last(), saved);
    QCOMPARE(w.ADOQuery1->RecordCount(), 4);
}

void TestModes::modifyOnAnEmptyListStaysInBrowseMode()
{
    Fixture f({card({{"Name", "旧卡"}, {"Del", "是"}})});
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    const QList<QStringList> stored = f.cards();
    QCOMPARE(w.ADOQuery1->RecordCount(), 0);

    w.ButMed->click();
    QCOMPARE(modeOf(w), browseMode);
    QCOMPARE(stateName(w.ADOQuery1->state()), QStringLiteral("Browse"));
    QCOMPARE(w.ADOQuery1->RecordCount(), 0);
    QCOMPARE(f.cards(), stored);
}

void TestModes::typingIntoTheGridChangesNoCell()
{
    Fixture f;
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    const QList<QStringList> stored = f.cards();
    const QModelIndex cell = w.DBGrid1->model()->index(1, 0);
    QTest::mouseClick(w.DBGrid1->viewport(), Qt::LeftButton, {},
                      w.DBGrid1->visualRect(cell).center());
    QCOMPARE(QApplication::focusWidget(), w.DBGrid1);

    // Each typed character only opens or closes the cell viewer.
    typeText(QStringLiteral("a"));
    QVERIFY(w.DBGrid1->indexWidget(cell));
    typeText(QStringLiteral("bc"));
    QVERIFY(w.DBGrid1->indexWidget(cell));
    typeText(QStringLiteral("d"));
    QVERIFY(!w.DBGrid1->indexWidget(cell));

    QCOMPARE(w.DBGrid1->model()->data(cell).toString(), QStringLiteral("李四"));
    QCOMPARE(stateName(w.ADOQuery1->state()), QStringLiteral("Browse"));
    QCOMPARE(f.cards(), stored);
}

void TestModes::sizeTenEditLimit_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ten digits") << "DBEPart"
                                << "12345678901"
                                << "1234567890";
    QTest::newRow("five Chinese characters") << "DBEJob"
                                             << "一二三四五六"
                                             << "一二三四五";
    QTest::newRow("a character that would cross the limit") << "DBECity"
                                                            << "123456789北x"
                                                            << "123456789x";
}

void TestModes::sizeTenEditLimit()
{
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    checkTypedIntoNewCard(edit, typed, expected);
}

QTEST_MAIN(TestModes)
#include "tst_modes.moc"
