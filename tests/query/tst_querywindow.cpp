// The query window as the user meets it: its first state and keyboard order,
// the completing field box and the focus rule, a field text that names no
// column, where it is placed, closing, several windows at once, and a search
// while the main window is modifying or adding a card.

#include "Application.h"
#include "CardStore.h"
#include "Query.h"
#include "QueryFixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QtTest>
#include <cmath>
#include <functional>

using guisupport::typeText;
using queryfixture::Fixture;
using widgets::Application;

using QueryAction = std::function<void(TfrmQuery *)>;
Q_DECLARE_METATYPE(QueryAction)

namespace {

const QString allCards = QStringLiteral("全部");

QString focusName()
{
    const QWidget *focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QStringLiteral("<none>");
}

// Tabs from Button1 to the field box, as the user gets there: the box then has
// its whole text selected.
void tabToFieldBox(TfrmQuery *query)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), query->ComboBox1);
    QCOMPARE(query->ComboBox1->lineEdit()->selectedText(), query->ComboBox1->currentText());
}

// The enabled and visible states of the main window's detail edits and
// buttons, one entry each.
QStringList controlStates(const TfrmMain &main)
{
    QStringList states;
    for (const QWidget *edit : main.detailEdits())
        states.append(edit->objectName() +
                      (edit->isEnabled() ? QStringLiteral(" E") : QStringLiteral(" D")));
    for (const QPushButton *button : {main.ButNew, main.ButMed, main.ButSaveNew, main.ButSaveEdit,
                                      main.ButCan, main.ButDel, main.ButQ, main.ButExi})
        states.append(button->objectName() + (button->isHidden()    ? QStringLiteral(" H")
                                              : button->isEnabled() ? QStringLiteral(" E")
                                                                    : QStringLiteral(" D")));
    return states;
}

} // namespace

class TestQueryWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void newWindowStartsOnAllCards();
    void keyboardSearch();
    void completion_data();
    void completion();
    void captionInOtherCaseNamesNoColumn();
    void focusRule_data();
    void focusRule();
    void placement_data();
    void placement();
    void closingHides_data();
    void closingHides();
    void releasedWithMainWindow();
    void twoWindowsAtTheSamePlace();
    void searchDropsUnsavedChange_data();
    void searchDropsUnsavedChange();

private:
    std::unique_ptr<Fixture> m_fixture;
};

void TestQueryWindow::initTestCase()
{
    Application::instance().requireAnswers(true);
}

void TestQueryWindow::init()
{
    m_fixture = std::make_unique<Fixture>();
    QVERIFY(m_fixture->show());
}

void TestQueryWindow::cleanup()
{
    m_fixture.reset();
    const QStringList failures = Application::instance().takeBoxFailures();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
}

// A new window shows "全部", an empty content and the focus on its Query
// button; Enter there brings back every live card in store order.
void TestQueryWindow::newWindowStartsOnAllCards()
{
    TfrmQuery *narrow = m_fixture->openQuery();
    QVERIFY(queryfixture::waitReady(narrow));
    queryfixture::search(narrow, QStringLiteral("城市"), QStringLiteral("北京"));
    QCOMPARE(m_fixture->countPanel(), QStringLiteral("2"));

    TfrmQuery *query = m_fixture->openQuery();
    QVERIFY(queryfixture::waitReady(query));
    QCOMPARE(query->windowTitle(), QStringLiteral("查询"));
    QCOMPARE(query->ComboBox1->currentText(), allCards);
    QCOMPARE(query->ComboBox1->currentIndex(), -1);
    QCOMPARE(query->ComboBox1->findText(allCards), -1);
    QVERIFY(query->Edit1->text().isEmpty());

    QStringList order;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order.append(focusName());
    }
    QCOMPARE(order, (QStringList{QStringLiteral("Button2"), QStringLiteral("ComboBox1"),
                                 QStringLiteral("Edit1"), QStringLiteral("Button1")}));
    QCOMPARE(query->ComboBox1->currentText(), allCards);

    QTest::keyClick(query->Button1, Qt::Key_Return);

    QCOMPARE(store::CurrentSQL, store::baseStatement);
    QCOMPARE(m_fixture->listedNames(), queryfixture::liveNames());
    QCOMPARE(m_fixture->countPanel(), QStringLiteral("7"));
    QVERIFY(!query->isVisible());
}

// The whole search from the keyboard: one character picks the field and moves
// on to the content; Enter and Escape in the content press no button; Alt+Q
// does.
void TestQueryWindow::keyboardSearch()
{
    TfrmQuery *query = m_fixture->openQuery();
    QVERIFY(queryfixture::waitReady(query));
    tabToFieldBox(query);
    typeText(QStringLiteral("单公司"));
    QCOMPARE(query->ComboBox1->currentText(), QStringLiteral("单位名称"));
    QCOMPARE(query->Edit1->text(), QStringLiteral("公司"));

    QTest::keyClick(query->Edit1, Qt::Key_Return);
    QTest::keyClick(query->Edit1, Qt::Key_Escape);
    QVERIFY(query->isVisible());
    QCOMPARE(store::CurrentSQL, store::baseStatement);

    // An access key presses its button the way a click does, a moment later.
    QTest::keyClick(query->windowHandle(), Qt::Key_Q, Qt::AltModifier);

    QTRY_VERIFY(!query->isVisible());
    QCOMPARE(m_fixture->listedNames(),
             (QStringList{QStringLiteral("张三"), QStringLiteral("李四")}));
    QCOMPARE(m_fixture->countPanel(), QStringLiteral("2"));
}

void TestQueryWindow::completion_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("index");

    const auto add = [](const char *name, const char *typed, const char *text, const char *selected,
                        int index) {
        QTest::newRow(name) << QString::fromUtf8(typed) << QString::fromUtf8(text)
                            << QString::fromUtf8(selected) << index;
    };
    add("first caption in list order", "单", "单位名称", "位名称", 1);
    add("other letter case kept as typed", "e", "e_mail", "_mail", 9);
    add("same letter case", "E", "E_mail", "_mail", 9);
    add("城市", "城", "城市", "市", 7);
    add("住宅电话", "住", "住宅电话", "宅电话", 10);
    add("no caption", "x", "x", "", -1);
    add("start of the initial text", "全", "全", "", -1);
}

// With the whole text selected, as it is when the box is tabbed into, a
// character that begins a caption completes to it; the focus then moves on.
void TestQueryWindow::completion()
{
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(QString, selected);
    QFETCH(int, index);

    TfrmQuery *query = m_fixture->openQuery();
    QVERIFY(queryfixture::waitReady(query));
    tabToFieldBox(query);

    typeText(typed);

    QCOMPARE(query->ComboBox1->currentText(), text);
    QCOMPARE(query->ComboBox1->lineEdit()->selectedText(), selected);
    QCOMPARE(query->ComboBox1->currentIndex(), index);
    QCOMPARE(QApplication::focusWidget(), query->Edit1);

    // Tabbing back selects the whole text, so one character picks again.
    QTest::keyClick(query->Edit1, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), query->ComboBox1);
    QCOMPARE(query->ComboBox1->lineEdit()->selectedText(), text);
    typeText(QStringLiteral("部"));
    QCOMPARE(query->ComboBox1->currentText(), QStringLiteral("部门"));
    QCOMPARE(query->ComboBox1->lineEdit()->selectedText(), QStringLiteral("门"));
}

// "e" completes to the E_mail caption with a lower-case e, which names no
// column: the store refuses the statement, the window stays open and the list
// is empty until the next load.
void TestQueryWindow::captionInOtherCaseNamesNoColumn()
{
    TfrmQuery *query = m_fixture->openQuery();
    QVERIFY(queryfixture::waitReady(query));
    tabToFieldBox(query);
    typeText(QStringLiteral("e"));
    QCOMPARE(query->ComboBox1->currentText(), QStringLiteral("e_mail"));
    query->Edit1->setText(QStringLiteral("zhang"));

    Application::instance().expectBox(
        guisupport::errorBox(QStringLiteral("near \"'%zhang%'\": syntax error.")), QMessageBox::Ok);
    query->Button1->click();

    QCOMPARE(Application::instance().shownBoxes().size(), 1);
    QVERIFY(query->isVisible());
    QVERIFY(!m_fixture->window->ADOQuery1->Active());
    QVERIFY(m_fixture->listedNames().isEmpty());
    QCOMPARE(m_fixture->countPanel(), QStringLiteral("7"));
}

void TestQueryWindow::focusRule_data()
{
    QTest::addColumn<QueryAction>("action");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("focus");

    const auto add = [](const char *name, const char *text, const char *focus,
                        const QueryAction &action) {
        QTest::newRow(name) << action << QString::fromUtf8(text) << QString::fromLatin1(focus);
    };
    add("typed character", "x", "Edit1", [](TfrmQuery *query) {
        tabToFieldBox(query);
        typeText(QStringLiteral("x"));
    });
    add("arrow key", "姓名", "Edit1", [](TfrmQuery *query) {
        tabToFieldBox(query);
        QTest::keyClick(query->ComboBox1, Qt::Key_Down);
    });
    add("backspace", "全", "Edit1", [](TfrmQuery *query) {
        tabToFieldBox(query);
        QTest::keyClick(query->ComboBox1, Qt::Key_End);
        QTest::keyClick(query->ComboBox1, Qt::Key_Backspace);
    });
    add("pick from the list", "城市", "Edit1", [](TfrmQuery *query) {
        query->ComboBox1->showPopup();
        QAbstractItemView *list = query->ComboBox1->view();
        QVERIFY(QTest::qWaitForWindowExposed(list->window()));
        list->setCurrentIndex(list->model()->index(7, 0));
        QTest::keyClick(list, Qt::Key_Return);
    });
    add("typed back to 全部", "全部", "Button1", [](TfrmQuery *query) {
        tabToFieldBox(query);
        QTest::keyClick(query->ComboBox1, Qt::Key_End);
        QTest::keyClick(query->ComboBox1, Qt::Key_Backspace);
        query->ComboBox1->setFocus();
        typeText(QStringLiteral("部"));
    });
    add("set back to 全部", "全部", "Button1", [](TfrmQuery *query) {
        query->ComboBox1->setEditText(QStringLiteral("城市"));
        QCOMPARE(QApplication::focusWidget(), query->Edit1);
        query->ComboBox1->setEditText(allCards);
    });
}

void TestQueryWindow::focusRule()
{
    QFETCH(QueryAction, action);
    QFETCH(QString, text);
    QFETCH(QString, focus);

    TfrmQuery *query = m_fixture->openQuery();
    QVERIFY(queryfixture::waitReady(query));

    action(query);
    if (QTest::currentTestFailed())
        return;

    QCOMPARE(query->ComboBox1->currentText(), text);
    QTRY_COMPARE(focusName(), focus);
}

void TestQueryWindow::placement_data()
{
    QTest::addColumn<QRect>("mainFrame");

    QTest::newRow("centred") << QRect(100, 80, 800, 550);
    QTest::newRow("odd differences") << QRect(101, 81, 801, 551);
    QTest::newRow("smaller than the query window, truncated toward zero")
        << QRect(100, 100, 385, 320);
    QTest::newRow("negative raised to 0") << QRect(-300, -250, 800, 550);
    QTest::newRow("at the screen's corner") << QRect(0, 0, 300, 320);
}

// Centred over the main window's frame as it stands when the window opens:
// left = main left + (main width - window width) div 2, the same for top, div
// truncating toward zero, negative raised to 0. The window is declared by its
// client size and gets the same frame as the main window.
void TestQueryWindow::placement()
{
    QFETCH(QRect, mainFrame);

    TfrmMain &main = *m_fixture->window;
    const QSize frameExtra = main.frameGeometry().size() - main.size();
    main.move(mainFrame.topLeft());
    main.resize(mainFrame.size() - frameExtra);
    QTRY_COMPARE(main.frameGeometry(), mainFrame);

    TfrmQuery *query = m_fixture->openQuery();
    QVERIFY(queryfixture::waitReady(query));
    QCOMPARE(query->size(), QSize(462, 112));
    const QSize outer = query->frameGeometry().size();
    QCOMPARE(outer, query->size() + frameExtra);

    const auto div = [](int a, int b) { return int(std::trunc(double(a) / b)); };
    const QPoint expected(
        std::max(0, mainFrame.left() + div(mainFrame.width() - outer.width(), 2)),
        std::max(0, mainFrame.top() + div(mainFrame.height() - outer.height(), 2)));
    QCOMPARE(query->frameGeometry().topLeft(), expected);
}

void TestQueryWindow::closingHides_data()
{
    QTest::addColumn<QueryAction>("action");

    QTest::newRow("Button2") << QueryAction([](TfrmQuery *query) { query->Button2->click(); });
    QTest::newRow("Alt+C") << QueryAction([](TfrmQuery *query) {
        QTest::keyClick(query->windowHandle(), Qt::Key_C, Qt::AltModifier);
    });
    QTest::newRow("close box") << QueryAction([](TfrmQuery *query) { query->close(); });
}

// Closing hides the window and changes nothing else; it stays hidden when
// another query window opens.
void TestQueryWindow::closingHides()
{
    QFETCH(QueryAction, action);

    TfrmQuery *narrow = m_fixture->openQuery();
    QVERIFY(queryfixture::waitReady(narrow));
    queryfixture::search(narrow, QStringLiteral("城市"), QStringLiteral("北京"));
    const QString statement = store::CurrentSQL;
    const QStringList listed = m_fixture->listedNames();

    QPointer<TfrmQuery> query = m_fixture->openQuery();
    QVERIFY(queryfixture::waitReady(query));
    query->ComboBox1->setEditText(QStringLiteral("姓名"));
    query->Edit1->setText(QStringLiteral("张"));

    action(query);

    QVERIFY(query);
    QTRY_VERIFY(!query->isVisible());
    QCOMPARE(store::CurrentSQL, statement);
    QCOMPARE(m_fixture->listedNames(), listed);
    QCOMPARE(m_fixture->countPanel(), QStringLiteral("2"));

    QVERIFY(queryfixture::waitReady(m_fixture->openQuery()));
    QVERIFY(query);
    QVERIFY(!query->isVisible());
}

void TestQueryWindow::releasedWithMainWindow()
{
    QPointer<TfrmQuery> open = m_fixture->openQuery();
    QVERIFY(queryfixture::waitReady(open));
    QPointer<TfrmQuery> closed = m_fixture->openQuery();
    QVERIFY(queryfixture::waitReady(closed));
    closed->close();

    m_fixture->window.reset();

    QVERIFY(!open);
    QVERIFY(!closed);
}

// Each press of the Query button adds a window at the same place; each one
// searches on its own.
void TestQueryWindow::twoWindowsAtTheSamePlace()
{
    TfrmQuery *first = m_fixture->openQuery();
    QVERIFY(queryfixture::waitReady(first));
    TfrmQuery *second = m_fixture->openQuery();
    QVERIFY(queryfixture::waitReady(second));
    QCOMPARE(m_fixture->window->findChildren<TfrmQuery *>().size(), 2);
    QVERIFY(first->isVisible());
    QCOMPARE(second->frameGeometry(), first->frameGeometry());

    queryfixture::search(second, QStringLiteral("姓名"), QStringLiteral("O'Brien"));
    QCOMPARE(m_fixture->listedNames(), QStringList{QStringLiteral("O'Brien")});
    QCOMPARE(m_fixture->countPanel(), QStringLiteral("1"));
    QVERIFY(!second->isVisible());
    QVERIFY(first->isVisible());

    queryfixture::search(first, QStringLiteral("城市"), QStringLiteral("北京"));
    QCOMPARE(m_fixture->listedNames(),
             (QStringList{QStringLiteral("张三"), QStringLiteral("周八")}));
    QCOMPARE(m_fixture->countPanel(), QStringLiteral("2"));
    QVERIFY(!first->isVisible());
}

void TestQueryWindow::searchDropsUnsavedChange_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("state");

    QTest::newRow("modifying") << "ButMed" << int(dataset::Query::State::Edit);
    QTest::newRow("adding") << "ButNew" << int(dataset::Query::State::Insert);
}

// A search from a query window opened before reloads the list, which drops the
// card being modified or added without a word; the main window's edits and
// buttons stay as they were.
void TestQueryWindow::searchDropsUnsavedChange()
{
    QFETCH(QString, button);
    QFETCH(int, state);

    TfrmMain &main = *m_fixture->window;
    TfrmQuery *query = m_fixture->openQuery();
    QVERIFY(queryfixture::waitReady(query));
    const QList<QStringList> before = m_fixture->dump();

    main.activateWindow();
    QTRY_VERIFY(main.isActiveWindow());
    main.findChild<QPushButton *>(button)->click();
    QCOMPARE(int(main.ADOQuery1->state()), state);
    QTRY_COMPARE(QApplication::focusWidget(), main.DBEName);
    typeText(QStringLiteral("改名"));
    QCOMPARE(main.DBEName->text(), QStringLiteral("改名"));
    const QStringList states = controlStates(main);

    queryfixture::search(query, QStringLiteral("城市"), QStringLiteral("北京"));

    QCOMPARE(m_fixture->listedNames(),
             (QStringList{QStringLiteral("张三"), QStringLiteral("周八")}));
    QCOMPARE(m_fixture->countPanel(), QStringLiteral("2"));
    QCOMPARE(main.ADOQuery1->state(), dataset::Query::State::Browse);
    QCOMPARE(main.DBEName->text(), QStringLiteral("张三"));
    QCOMPARE(controlStates(main), states);
    QCOMPARE(m_fixture->dump(), before);
}

QTEST_MAIN(TestQueryWindow)
#include "tst_querywindow.moc"
