#include "Application.h"
#include "CardStore.h"
#include "GuiSupport.h"
#include "Query.h"
#include "TestSupport.h"
#include "TfrmMain.h"

#include <QDir>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

using testsupport::card;
using testsupport::TempCardFile;
using widgets::Application;

Q_DECLARE_METATYPE(std::vector<tools::Card>)

namespace {

// The executable that a test window stands for: a program in the card file's
// folder.
QString executableIn(const QString &folder)
{
    return folder + QStringLiteral("/namecards");
}

// The Name column of every row the grid lists.
QSet<QString> listedNames(const TfrmMain &window)
{
    QSet<QString> names;
    const QAbstractItemModel *model = window.DBGrid1->model();
    for (int row = 0; row < model->rowCount(); ++row)
        names.insert(model->index(row, 0).data().toString());
    return names;
}

QList<QPushButton *> buttons(const TfrmMain &window)
{
    return {window.ButNew, window.ButMed, window.ButSaveNew, window.ButCan,
            window.ButDel, window.ButQ,   window.ButExi,     window.ButSaveEdit};
}

void expectError(const QString &text)
{
    Application::instance().expectBox(guisupport::errorBox(text), QMessageBox::Ok);
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void cardFilePath_data();
    void cardFilePath();
    void workingDirectoryPlaysNoPart();

    void listsLiveCards_data();
    void listsLiveCards();
    void opensInBrowseMode();

    void missingFile_data();
    void missingFile();
    void missingColumn_data();
    void missingColumn();
};

void TestStartup::initTestCase()
{
    Application::instance().requireAnswers(true);
}

void TestStartup::cleanup()
{
    const QStringList failures = Application::instance().takeBoxFailures();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
}

void TestStartup::cardFilePath_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("cardFile");

    QTest::newRow("program folder") << "/opt/cards/namecards"
                                    << "/opt/cards/Date/crm.mdb";
    QTest::newRow("root folder") << "/namecards"
                                 << "/Date/crm.mdb";
    QTest::newRow("periods and blanks in names") << "/home/a b/v1.2/namecards.bin"
                                                 << "/home/a b/v1.2/Date/crm.mdb";
    QTest::newRow("Chinese folder") << "/home/用户/名片/名片"
                                    << "/home/用户/名片/Date/crm.mdb";
}

void TestStartup::cardFilePath()
{
    QFETCH(QString, executable);
    QFETCH(QString, cardFile);
    QCOMPARE(store::cardFilePath(executable), cardFile);
}

// Started from a folder that holds a card file of its own, the window still
// opens the one beside the executable.
void TestStartup::workingDirectoryPlaysNoPart()
{
    const TempCardFile beside(
        {card({{"Name", "甲"}, {"Del", "否"}}), card({{"Name", "乙"}, {"Del", "否"}})});
    const TempCardFile elsewhere({card({{"Name", "丙"}, {"Del", "否"}})});
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.folder()));
    const TfrmMain window(executableIn(beside.folder()));
    QVERIFY(QDir::setCurrent(before));

    QCOMPARE(window.StatusBar1->panelText(6), QStringLiteral("2"));
    QCOMPARE(listedNames(window), (QSet<QString>{QStringLiteral("甲"), QStringLiteral("乙")}));
}

void TestStartup::listsLiveCards_data()
{
    QTest::addColumn<std::vector<tools::Card>>("cards");
    QTest::addColumn<QSet<QString>>("listed");

    std::vector<tools::Card> mixed;
    QSet<QString> live;
    for (const QString &name :
         {QStringLiteral("张一"), QStringLiteral("张二"), QStringLiteral("张三"),
          QStringLiteral("张四"), QStringLiteral("张五"), QStringLiteral("张六"),
          QStringLiteral("张七")}) {
        mixed.push_back(card({{"Name", name}, {"Dept", "公司"}, {"Del", "否"}}));
        live.insert(name);
    }
    mixed.insert(mixed.begin() + 2, card({{"Name", "删一"}, {"Del", "是"}}));
    mixed.insert(mixed.begin() + 5, card({{"Name", "删二"}, {"Del", "是"}}));
    // Every other column filled, but no flag: still never listed.
    mixed.push_back(card({{"Name", "空标"},
                          {"Dept", "公司"},
                          {"Part", "部"},
                          {"Job", "职"},
                          {"JPhone", "1"},
                          {"Fax", "2"},
                          {"JAddress", "地址"},
                          {"City", "城"},
                          {"WWW", "w"},
                          {"E_Mail", "e"},
                          {"HPhone", "3"},
                          {"Moblio", "4"},
                          {"HAddress", "家"},
                          {"Des", "范围"},
                          {"Del", ""}}));
    mixed.push_back(card({{"Name", "无标"}}));
    QTest::newRow("seven live among deleted and unflagged") << mixed << live;

    QTest::newRow("empty table") << std::vector<tools::Card>{} << QSet<QString>{};
    QTest::newRow("no live card") << std::vector<tools::Card>{card({{"Name", "删一"},
                                                                    {"Del", "是"}}),
                                                              card({{"Name", "空标"}, {"Del", ""}})}
                                  << QSet<QString>{};
}

void TestStartup::listsLiveCards()
{
    QFETCH(std::vector<tools::Card>, cards);
    QFETCH(QSet<QString>, listed);

    const TempCardFile file(cards);
    const TfrmMain window(executableIn(file.folder()));

    QCOMPARE(window.StatusBar1->panelText(6), QString::number(listed.size()));
    QCOMPARE(listedNames(window), listed);
    QCOMPARE(store::CurrentSQL, store::baseStatement);
}

void TestStartup::opensInBrowseMode()
{
    const TempCardFile file({card({{"Name", "张三"}, {"Del", "否"}})});
    const TfrmMain window(executableIn(file.folder()));

    QCOMPARE(window.ADOQuery1->state(), dataset::Query::State::Browse);
    QCOMPARE(window.DBEName->text(), QStringLiteral("张三"));
    for (const widgets::DBEdit *edit : window.detailEdits())
        QVERIFY2(!edit->isEnabled(), qPrintable(edit->objectName()));
    for (const QPushButton *button :
         {window.ButNew, window.ButMed, window.ButDel, window.ButQ, window.ButExi})
        QVERIFY2(button->isEnabled(), qPrintable(button->objectName()));
    for (const QPushButton *button : {window.ButSaveNew, window.ButSaveEdit, window.ButCan})
        QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));
    for (const QPushButton *button : buttons(window))
        QVERIFY2(button->isVisibleTo(&window), qPrintable(button->objectName()));
}

void TestStartup::missingFile_data()
{
    QTest::addColumn<bool>("withDateFolder");
    QTest::addColumn<QString>("error");

    // The texts end in a quote, which sorts before the period: none is added.
    QTest::newRow("no file in the Date folder") << true << "Could not find file '<file>'";
    QTest::newRow("no Date folder")
        << false << "Could not find the folder '<folder>/Date' of the database file '<file>'";
}

// The error box comes while the window is being made; the window then opens
// in its declared state, with nothing loaded.
void TestStartup::missingFile()
{
    QFETCH(bool, withDateFolder);
    QFETCH(QString, error);

    const QTemporaryDir folder;
    QVERIFY(folder.isValid());
    if (withDateFolder)
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("Date")));
    const QString cardFile = folder.path() + QStringLiteral("/Date/crm.mdb");
    expectError(error.replace(QStringLiteral("<folder>"), folder.path())
                    .replace(QStringLiteral("<file>"), cardFile));

    const TfrmMain window(executableIn(folder.path()));
    const QStringList failures = Application::instance().takeBoxFailures();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
    QVERIFY(!window.isVisible());

    QVERIFY(!QFile::exists(cardFile));
    QCOMPARE(window.StatusBar1->panelText(6), QString());
    QVERIFY(!window.ADOQuery1->Active());
    QCOMPARE(window.DBGrid1->model()->rowCount(), 0);
    for (const widgets::DBEdit *edit : window.detailEdits()) {
        QVERIFY2(edit->isEnabled(), qPrintable(edit->objectName()));
        QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
    }
    for (const QPushButton *button : buttons(window)) {
        QVERIFY2(button->isEnabled(), qPrintable(button->objectName()));
        QVERIFY2(button->isVisibleTo(&window), qPrintable(button->objectName()));
    }
}

void TestStartup::missingColumn_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("error");

    QTest::newRow("titled column") << "Moblio"
                                   << "ADOQuery1: Field '移动电话' not found.";
    QTest::newRow("untitled column") << "WWW"
                                     << "ADOQuery1: Field 'WWW' not found.";
}

void TestStartup::missingColumn()
{
    QFETCH(QString, column);
    QFETCH(QString, error);

    const TempCardFile file({card({{"Name", "张三"}, {"Del", "否"}})});
    testsupport::exec(file.path(), QStringLiteral("ALTER TABLE Dept DROP COLUMN %1").arg(column));
    expectError(error);

    const TfrmMain window(executableIn(file.folder()));
    QVERIFY(!window.ADOQuery1->Active());
    QCOMPARE(window.StatusBar1->panelText(6), QString());
    QVERIFY(window.DBEName->isEnabled());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
