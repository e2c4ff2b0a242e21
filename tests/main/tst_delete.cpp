// Deleting a card: the confirmation, the mark in the file, the reload of every
// live card and the count, and what each failure leaves behind.

#include "Application.h"
#include "CardStore.h"
#include "DBNavigator.h"
#include "GuiSupport.h"
#include "Query.h"
#include "TestSupport.h"
#include "TfrmMain.h"
#include "TfrmQuery.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWindow>
#include <QtTest>

using guisupport::errorBox;
using guisupport::listedNames;
using testsupport::card;
using testsupport::rows;
using widgets::Application;
using widgets::DBNavigator;
using widgets::MessageBoxSpec;

namespace {

const QString idDelName = QStringLiteral("select ID, Name, Del from Dept order by ID");
const QString narrowedToBeijing =
    store::baseStatement + QStringLiteral(" and City like '%北京%' order by City");

std::vector<testsupport::Card> fourCards()
{
    return {card({{"Name", "张三"},
                  {"Dept", "北方仪器公司"},
                  {"JPhone", "010-62751234"},
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
                  {"JPhone", "010-55550000"},
                  {"JAddress", "北京市朝阳路1号"},
                  {"City", "北京"},
                  {"Del", "否"}}),
            card({{"Name", "赵六"}, {"City", "北京"}, {"Del", "是"}})};
}

const MessageBoxSpec confirmation{QStringLiteral("删除名片"), QStringLiteral("确认要删除吗?"),
                                  QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::No};
const MessageBoxSpec notice{QStringLiteral("删除成功提示"), QStringLiteral("删除成功!"),
                            QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok};

void expectBox(const MessageBoxSpec &box, QMessageBox::StandardButton answer)
{
    Application::instance().expectBox(box, answer);
}

// A card file and a main window over it; beforeStart runs on the file before
// the window opens it.
class Fixture : public guisupport::MainWindowFixture
{
public:
    explicit Fixture(const std::vector<testsupport::Card> &cards = fourCards(),
                     const QString &beforeStart = QString())
        : MainWindowFixture(cards, beforeStart)
    {
    }

    QList<QStringList> cards() const { return rows(path(), idDelName); }
};

void narrow(TfrmMain &w, const QString &statement)
{
    store::CurrentSQL = statement;
    store::ReloadCards(*w.ADOQuery1);
    w.ShowCardCount();
}

// Clicks a button of a window the way the window system delivers a click, so
// that a modal box in the way blocks it.
void clickThroughWindow(QWidget *window, QWidget *button)
{
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      button->mapTo(window, button->rect().center()));
}

} // namespace

class TestDelete : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void answeringNoChangesNothing();
    void deletingTheOnlyListedCardLeavesAnEmptyList();
    void deletingWhileNarrowedBringsBackEveryLiveCard();
    void afterADeletionTheFirstLiveCardIsShownLocked();
    void deletedCardIsNeverListedAgain_data();
    void deletedCardIsNeverListedAgain();
    void yesOnAnEmptyListMarksNothing();
    void closedListRefusesTheMark_data();
    void closedListRefusesTheMark();
    void refusedMarkEndsTheDeletion();
    void failedReloadKeepsTheMark();
    void confirmationBlocksTheQueryWindow();
};

void TestDelete::init()
{
    Application::instance().requireAnswers(true);
}

void TestDelete::cleanup()
{
    Application::instance().requireAnswers(true);
    const QStringList failures = Application::instance().takeBoxFailures();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
}

void TestDelete::answeringNoChangesNothing()
{
    Fixture f;
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    w.DBNavigator1->button(DBNavigator::Next)->click();
    const QList<QStringList> stored = f.cards();
    const QStringList names = listedNames(*w.ADOQuery1);

    expectBox(confirmation, QMessageBox::No);
    w.ButDel->click();

    QCOMPARE(f.cards(), stored);
    QCOMPARE(listedNames(*w.ADOQuery1), names);
    QCOMPARE(w.ADOQuery1->currentRow(), 1);
    QCOMPARE(w.ADOQuery1->state(), dataset::Query::State::Browse);
    QCOMPARE(w.LabHJ->text(), QString());
    QCOMPARE(w.StatusBar1->panelText(6), QStringLiteral("3"));
}

void TestDelete::deletingTheOnlyListedCardLeavesAnEmptyList()
{
    Fixture f({fourCards().front(), fourCards().back()});
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    QCOMPARE(listedNames(*w.ADOQuery1), QStringList{"张三"});

    expectBox(confirmation, QMessageBox::Yes);
    expectBox(notice, QMessageBox::Ok);
    w.ButDel->click();

    QCOMPARE(w.ADOQuery1->RecordCount(), 0);
    QCOMPARE(w.LabHJ->text(), QStringLiteral("0"));
    QCOMPARE(w.StatusBar1->panelText(6), QStringLiteral("0"));
    QCOMPARE(f.cards(), (QList<QStringList>{{"1", "张三", "是"}, {"2", "赵六", "是"}}));
}

void TestDelete::deletingWhileNarrowedBringsBackEveryLiveCard()
{
    Fixture f;
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    narrow(w, narrowedToBeijing);
    QCOMPARE(listedNames(*w.ADOQuery1), (QStringList{"张三", "王五"}));
    QCOMPARE(w.StatusBar1->panelText(6), QStringLiteral("2"));

    expectBox(confirmation, QMessageBox::Yes);
    expectBox(notice, QMessageBox::Ok);
    w.ButDel->click();

    QCOMPARE(store::CurrentSQL, store::baseStatement);
    QCOMPARE(listedNames(*w.ADOQuery1), (QStringList{"李四", "王五"}));
    QCOMPARE(w.LabHJ->text(), QStringLiteral("2"));
    QCOMPARE(w.StatusBar1->panelText(6), QStringLiteral("2"));
    QCOMPARE(f.cards().at(0), (QStringList{"1", "张三", "是"}));
}

void TestDelete::afterADeletionTheFirstLiveCardIsShownLocked()
{
    Fixture f;
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    w.DBNavigator1->button(DBNavigator::Last)->click();
    QCOMPARE(w.DBEName->text(), QStringLiteral("王五"));

    expectBox(confirmation, QMessageBox::Yes);
    expectBox(notice, QMessageBox::Ok);
    w.ButDel->click();

    QCOMPARE(f.cards().at(2), (QStringList{"3", "王五", "是"}));
    QCOMPARE(w.ADOQuery1->currentRow(), 0);
    QCOMPARE(w.DBEName->text(), QStringLiteral("张三"));
    QCOMPARE(w.DBEJPhone->text(), QStringLiteral("010-62751234"));
    for (const widgets::DBEdit *edit : w.detailEdits())
        QVERIFY2(!edit->isEnabled(), qPrintable(edit->objectName()));
    for (const QPushButton *button : {w.ButNew, w.ButMed, w.ButDel, w.ButQ, w.ButExi})
        QVERIFY2(button->isEnabled(), qPrintable(button->objectName()));
    QVERIFY(!w.ButCan->isEnabled());
}

void TestDelete::deletedCardIsNeverListedAgain_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("content");

    QTest::newRow("by name") << "姓名"
                             << "李四";
    QTest::newRow("by city") << "城市"
                             << "广州";
    QTest::newRow("by office phone") << "办公电话"
                                     << "020-8765";
}

void TestDelete::deletedCardIsNeverListedAgain()
{
    QFETCH(QString, caption);
    QFETCH(QString, content);

    Fixture f;
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    w.DBNavigator1->button(DBNavigator::Next)->click();
    expectBox(confirmation, QMessageBox::Yes);
    expectBox(notice, QMessageBox::Ok);
    w.ButDel->click();
    QCOMPARE(listedNames(*w.ADOQuery1), (QStringList{"张三", "王五"}));

    w.ButQ->click();
    auto *search = w.findChild<TfrmQuery *>();
    QVERIFY(search);
    search->ComboBox1->setEditText(caption);
    search->Edit1->setText(content);
    search->Button1->click();

    QCOMPARE(store::CurrentSQL,
             TfrmQuery::searchStatement(TfrmQuery::ColumnForCaption(caption), content));
    QCOMPARE(w.ADOQuery1->state(), dataset::Query::State::Browse);
    QCOMPARE(listedNames(*w.ADOQuery1), QStringList());
    QCOMPARE(w.StatusBar1->panelText(6), QStringLiteral("0"));
}

void TestDelete::yesOnAnEmptyListMarksNothing()
{
    Fixture f({fourCards().back()});
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    narrow(w, narrowedToBeijing);
    QCOMPARE(w.ADOQuery1->RecordCount(), 0);
    const QList<QStringList> stored = f.cards();

    expectBox(confirmation, QMessageBox::Yes);
    expectBox(notice, QMessageBox::Ok);
    w.ButDel->click();

    QCOMPARE(f.cards(), stored);
    QCOMPARE(store::CurrentSQL, store::baseStatement);
    QCOMPARE(w.ADOQuery1->state(), dataset::Query::State::Browse);
    QCOMPARE(w.ADOQuery1->RecordCount(), 0);
    QCOMPARE(w.LabHJ->text(), QStringLiteral("0"));
}

void TestDelete::closedListRefusesTheMark_data()
{
    QTest::addColumn<bool>("failedStart");

    QTest::newRow("after a failed start") << true;
    QTest::newRow("after a close") << false;
}

void TestDelete::closedListRefusesTheMark()
{
    QFETCH(bool, failedStart);

    // A start on a file without column Des fails and leaves the list closed;
    // the column comes back before the deletion, so a reload would succeed.
    if (failedStart)
        expectBox(errorBox(QStringLiteral("ADOQuery1: Field '经营范围' not found.")),
                  QMessageBox::Ok);
    Fixture f(fourCards(),
              failedStart ? QStringLiteral("ALTER TABLE Dept DROP COLUMN Des") : QString());
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    if (failedStart)
        testsupport::exec(f.path(),
                          QStringLiteral("ALTER TABLE Dept ADD COLUMN Des NVARCHAR(200)"));
    else
        w.ADOQuery1->Close();
    QCOMPARE(w.ADOQuery1->state(), dataset::Query::State::Inactive);
    const QList<QStringList> stored = f.cards();
    const QString panel = w.StatusBar1->panelText(6);

    expectBox(confirmation, QMessageBox::Yes);
    expectBox(errorBox(QStringLiteral("ADOQuery1: Cannot perform this operation on a closed "
                                      "dataset.")),
              QMessageBox::Ok);
    w.ButDel->click();

    QCOMPARE(w.ADOQuery1->state(), dataset::Query::State::Inactive);
    QCOMPARE(f.cards(), stored);
    QCOMPARE(w.LabHJ->text(), QString());
    QCOMPARE(w.StatusBar1->panelText(6), panel);
}

void TestDelete::refusedMarkEndsTheDeletion()
{
    Fixture f;
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    narrow(w, narrowedToBeijing);
    w.DBNavigator1->button(DBNavigator::Next)->click();
    testsupport::exec(f.path(), QStringLiteral("CREATE TRIGGER keep BEFORE UPDATE ON Dept BEGIN "
                                               "SELECT RAISE(ABORT, 'refused'); END"));
    const QList<QStringList> stored = f.cards();

    expectBox(confirmation, QMessageBox::Yes);
    expectBox(errorBox(QStringLiteral("refused.")), QMessageBox::Ok);
    w.ButDel->click();

    QCOMPARE(f.cards(), stored);
    QCOMPARE(w.ADOQuery1->state(), dataset::Query::State::Edit);
    QCOMPARE(w.ADOQuery1->FieldByName(QStringLiteral("Del"))->AsString(), QStringLiteral("是"));
    QCOMPARE(store::CurrentSQL, narrowedToBeijing);
    QCOMPARE(listedNames(*w.ADOQuery1), (QStringList{"张三", "王五"}));
    QCOMPARE(w.ADOQuery1->currentRow(), 1);
    QCOMPARE(w.LabHJ->text(), QString());
    QCOMPARE(w.StatusBar1->panelText(6), QStringLiteral("2"));
}

void TestDelete::failedReloadKeepsTheMark()
{
    Fixture f;
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    expectBox(confirmation, QMessageBox::Yes);
    expectBox(notice, QMessageBox::Ok);
    w.ButDel->click();
    QCOMPARE(w.LabHJ->text(), QStringLiteral("2"));
    QCOMPARE(listedNames(*w.ADOQuery1), (QStringList{"李四", "王五"}));

    // As soon as the mark is written, the table goes away under another name,
    // so the reload that follows cannot find it.
    QString renameError;
    QMetaObject::Connection renamer;
    renamer = connect(w.ADOQuery1, &dataset::Query::stateChanged, this, [&] {
        if (w.ADOQuery1->state() != dataset::Query::State::Browse)
            return;
        disconnect(renamer);
        try {
            testsupport::exec(f.path(), QStringLiteral("ALTER TABLE Dept RENAME TO Dept2"));
        } catch (const std::exception &error) {
            renameError = QString::fromUtf8(error.what());
        }
    });
    expectBox(confirmation, QMessageBox::Yes);
    expectBox(notice, QMessageBox::Ok);
    expectBox(errorBox(QStringLiteral("no such table: Dept.")), QMessageBox::Ok);
    w.ButDel->click();

    QCOMPARE(renameError, QString());
    QCOMPARE(
        rows(f.path(), QStringLiteral("select ID, Name, Del from Dept2 order by ID")),
        (QList<QStringList>{
            {"1", "张三", "是"}, {"2", "李四", "是"}, {"3", "王五", "否"}, {"4", "赵六", "是"}}));
    QCOMPARE(w.ADOQuery1->state(), dataset::Query::State::Inactive);
    QCOMPARE(w.LabHJ->text(), QStringLiteral("2"));
    QCOMPARE(w.StatusBar1->panelText(6), QStringLiteral("2"));
}

void TestDelete::confirmationBlocksTheQueryWindow()
{
    Fixture f;
    TfrmMain &w = *f.window;
    QVERIFY(f.show());
    w.ButQ->click();
    auto *search = w.findChild<TfrmQuery *>();
    QVERIFY(search);
    QVERIFY(QTest::qWaitForWindowExposed(search));
    search->ComboBox1->setEditText(QStringLiteral("姓名"));
    search->Edit1->setText(QStringLiteral("张"));
    const QString listed = store::CurrentSQL;

    struct Seen
    {
        bool box = false;
        Qt::WindowModality modality = Qt::NonModal;
        QString caption, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        bool noIsDefault = false;
        QString statementAfterClick;
    } seen;
    // The real box: found from a timer once it is up, inspected, the query
    // window's button clicked behind it, then answered No. A box that never
    // turns up among the modal widgets is closed after a while.
    QElapsedTimer waited;
    waited.start();
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) {
            if (waited.elapsed() > 10000 && QApplication::activeModalWidget())
                QApplication::activeModalWidget()->close();
            return;
        }
        poll.stop();
        seen.box = true;
        seen.modality = box->windowModality();
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.noIsDefault = box->defaultButton() == box->button(QMessageBox::No);
        clickThroughWindow(search, search->Button1);
        seen.statementAfterClick = store::CurrentSQL;
        box->button(QMessageBox::No)->click();
    });
    Application::instance().requireAnswers(false);
    poll.start();
    w.ButDel->click();
    poll.stop();
    Application::instance().requireAnswers(true);

    QVERIFY(seen.box);
    QCOMPARE(seen.modality, Qt::ApplicationModal);
    QCOMPARE(seen.caption, confirmation.caption);
    QCOMPARE(seen.text, confirmation.text);
    QCOMPARE(seen.icon, QMessageBox::Question);
    QVERIFY(seen.noIsDefault);
    QCOMPARE(seen.statementAfterClick, listed);
    QVERIFY(search->isVisible());
    QCOMPARE(f.cards().at(0), (QStringList{"1", "张三", "否"}));

    // With the box gone, the same click runs the search.
    clickThroughWindow(search, search->Button1);
    QTRY_COMPARE(store::CurrentSQL,
                 TfrmQuery::searchStatement(QStringLiteral("Name"), QStringLiteral("张")));
}

QTEST_MAIN(TestDelete)
#include "tst_delete.moc"
