#include "Application.h"
#include "DataSetError.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <stdexcept>

using widgets::Application;
using widgets::MessageBoxSpec;

Q_DECLARE_METATYPE(std::function<void()>)
Q_DECLARE_METATYPE(std::function<QMessageBox::StandardButton()>)

namespace {

// What a real message box showed, read while it was up.
struct SeenBox
{
    bool isMessageBox = false;
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    Qt::WindowModality modality = Qt::NonModal;
};

// Waits from the event loop for the next modal box, reads it and clicks
// `answer` on it.
class BoxAnswerer : public QObject
{
public:
    explicit BoxAnswerer(QMessageBox::StandardButton answer) : m_answer(answer)
    {
        connect(&m_poll, &QTimer::timeout, this, &BoxAnswerer::look);
        m_poll.start(10);
    }
    const SeenBox &seen() const { return m_seen; }
    bool answered() const { return m_answered; }

private:
    void look()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        m_poll.stop();
        auto *box = qobject_cast<QMessageBox *>(modal);
        m_seen.isMessageBox = box != nullptr;
        if (!box) {
            modal->close();
            return;
        }
        m_seen.caption = box->windowTitle();
        m_seen.text = box->text();
        m_seen.icon = box->icon();
        m_seen.buttons = box->standardButtons();
        m_seen.modality = box->windowModality();
        if (box->defaultButton())
            m_seen.defaultButton = box->standardButton(box->defaultButton());
        if (QAbstractButton *button = box->button(m_answer)) {
            m_answered = true;
            button->click();
        } else {
            box->reject();
        }
    }

    QMessageBox::StandardButton m_answer;
    QTimer m_poll;
    SeenBox m_seen;
    bool m_answered = false;
};

} // namespace

class TestApplication : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void title_data();
    void title();
    void titleOfRunningProgram();
    void errorText_data();
    void errorText();

    void guardShowsErrorAndStops_data();
    void guardShowsErrorAndStops();
    void guardRunsHandlerToEnd();
    void guardInsideEventLoop();
    void unexpectedBoxIsFailure();

    void realBox_data();
    void realBox();
};

void TestApplication::initTestCase()
{
    Application::instance().requireAnswers(true);
}

void TestApplication::cleanup()
{
    Application::instance().requireAnswers(true);
    const QStringList failures = Application::instance().takeBoxFailures();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
}

void TestApplication::title_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("title");

    // The first character is kept as it is; only the later ones go to lower case.
    QTest::newRow("folder dropped") << "/x/namecards"
                                    << "namecards";
    QTest::newRow("capital kept, rest lowered") << "MyCards"
                                                << "Mycards";
    QTest::newRow("all capitals with extension") << "MYCARDS.EXE"
                                                 << "Mycards";
    QTest::newRow("cut before the first period") << "a.b.c"
                                                 << "a";
    QTest::newRow("capital before the first period") << "/opt/B.c.D"
                                                     << "B";
    QTest::newRow("extension") << "/usr/bin/namecards.bin"
                               << "namecards";
    QTest::newRow("period in a folder name") << "/my.cards/NameCards"
                                             << "Namecards";
    QTest::newRow("one letter") << "x"
                                << "x";
    QTest::newRow("one capital") << "X"
                                 << "X";
    QTest::newRow("Chinese") << "/home/用户/名片Manager.exe"
                             << "名片manager";
    QTest::newRow("accented capitals") << "ÉCLAIR.exe"
                                       << "Éclair";
}

void TestApplication::title()
{
    QFETCH(QString, executable);
    QFETCH(QString, title);
    QCOMPARE(Application::titleFromExecutable(executable), title);
}

void TestApplication::titleOfRunningProgram()
{
    // This test program's own name is all lower case with underscores.
    QCOMPARE(Application::instance().Title(), QStringLiteral("widgets_application"));
}

void TestApplication::errorText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");

    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("period") << "Disk full."
                            << "Disk full.";
    QTest::newRow("exclamation mark") << "Stop!"
                                      << "Stop!";
    QTest::newRow("blank") << "Trailing "
                           << "Trailing ";
    QTest::newRow("hyphen sorts before the period") << "a-"
                                                    << "a-";
    QTest::newRow("slash sorts after the period") << "a/"
                                                  << "a/.";
    QTest::newRow("letter") << "Dataset not in edit or insert mode"
                            << "Dataset not in edit or insert mode.";
    QTest::newRow("digit") << "Error 42"
                           << "Error 42.";
    QTest::newRow("closing quote sorts before the period") << "Field 'Name'"
                                                           << "Field 'Name'";
    QTest::newRow("Chinese full stop") << "磁盘已满。"
                                       << "磁盘已满。.";
    QTest::newRow("Chinese character") << "找不到文件"
                                       << "找不到文件.";
}

void TestApplication::errorText()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(Application::errorText(message), shown);
}

void TestApplication::guardShowsErrorAndStops_data()
{
    QTest::addColumn<std::function<void()>>("failingStep");
    QTest::addColumn<QString>("text");

    QTest::newRow("data layer error") << std::function<void()>([] {
        throw dataset::DataSetError(
            QStringLiteral("ADOQuery1: Cannot perform this operation on a closed dataset"));
    }) << "ADOQuery1: Cannot perform this operation on a closed dataset.";
    QTest::newRow("standard exception, UTF-8 text")
        << std::function<void()>([] { throw std::runtime_error("数据库已锁定"); })
        << "数据库已锁定.";
    QTest::newRow("message already ending in a period")
        << std::function<void()>([] { throw dataset::DataSetError(QStringLiteral("Gone.")); })
        << "Gone.";
    QTest::newRow("empty message")
        << std::function<void()>([] { throw dataset::DataSetError(QString()); }) << "";
    QTest::newRow("not a standard exception")
        << std::function<void()>([] { throw 42; }) << "Unknown error.";
}

void TestApplication::guardShowsErrorAndStops()
{
    QFETCH(std::function<void()>, failingStep);
    QFETCH(QString, text);

    Application &application = Application::instance();
    application.expectBox(
        {application.Title(), text, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok},
        QMessageBox::Ok);
    QStringList steps;
    QVERIFY_THROWS_NO_EXCEPTION(application.Guard([&] {
        steps << QStringLiteral("before");
        failingStep();
        steps << QStringLiteral("after");
    }));
    QCOMPARE(steps, QStringList{QStringLiteral("before")});
    QCOMPARE(application.shownBoxes().size(), 1);
}

void TestApplication::guardRunsHandlerToEnd()
{
    Application &application = Application::instance();
    int steps = 0;
    application.Guard([&] {
        ++steps;
        ++steps;
    });
    QCOMPARE(steps, 2);
    QVERIFY(application.shownBoxes().isEmpty());
}

// A handler run by a queued event fails: the box comes, the loop goes on and
// runs the next event.
void TestApplication::guardInsideEventLoop()
{
    Application &application = Application::instance();
    application.expectBox({application.Title(), QStringLiteral("first failed."),
                           QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok},
                          QMessageBox::Ok);
    bool secondRan = false;
    QTimer::singleShot(0, &application, [&application] {
        application.Guard([] { throw dataset::DataSetError(QStringLiteral("first failed")); });
    });
    QTimer::singleShot(0, &application, [&] { application.Guard([&] { secondRan = true; }); });
    QTRY_VERIFY(secondRan);
    QCOMPARE(application.shownBoxes().size(), 1);
}

// The test hook itself: a box that nobody expected, or another box than the
// expected one, is reported.
void TestApplication::unexpectedBoxIsFailure()
{
    Application &application = Application::instance();
    const MessageBoxSpec question{QStringLiteral("删除名片"), QStringLiteral("确认要删除吗?"),
                                  QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::No};
    QCOMPARE(application.MessageBox(question), QMessageBox::No);
    QCOMPARE(application.takeBoxFailures().size(), 1);

    application.expectBox(question, QMessageBox::Yes);
    application.ShowMessage(QStringLiteral("别的"));
    QCOMPARE(application.takeBoxFailures().size(), 1);

    application.expectBox(question, QMessageBox::Yes);
    QCOMPARE(application.takeBoxFailures().size(), 1);

    application.expectBox(question, QMessageBox::Yes);
    QCOMPARE(application.MessageBox(question), QMessageBox::Yes);
}

void TestApplication::realBox_data()
{
    QTest::addColumn<std::function<QMessageBox::StandardButton()>>("show");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::addColumn<QMessageBox::StandardButtons>("buttons");
    QTest::addColumn<QMessageBox::StandardButton>("defaultButton");

    using Show = std::function<QMessageBox::StandardButton()>;
    const QString title = Application::instance().Title();
    QTest::newRow("error box") << Show([] {
        Application::instance().Guard([] {
            throw dataset::DataSetError(QStringLiteral("ADOQuery1: Field '姓名' not found"));
        });
        return QMessageBox::Ok;
    }) << QMessageBox::Ok << title
                               << "ADOQuery1: Field '姓名' not found." << QMessageBox::Critical
                               << QMessageBox::StandardButtons(QMessageBox::Ok) << QMessageBox::Ok;
    QTest::newRow("simple message")
        << Show([] {
               Application::instance().ShowMessage(
                   QStringLiteral("姓名、单位、办公电话、单位地址不能为空！"));
               return QMessageBox::Ok;
           })
        << QMessageBox::Ok << title << "姓名、单位、办公电话、单位地址不能为空！"
        << QMessageBox::NoIcon << QMessageBox::StandardButtons(QMessageBox::Ok) << QMessageBox::Ok;
    for (const auto answer : {QMessageBox::Yes, QMessageBox::No}) {
        QTest::addRow("question answered %s", answer == QMessageBox::Yes ? "Yes" : "No")
            << Show([] {
                   return Application::instance().MessageBox(
                       {QStringLiteral("删除名片"), QStringLiteral("确认要删除吗?"),
                        QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                        QMessageBox::No});
               })
            << answer << "删除名片"
            << "确认要删除吗?" << QMessageBox::Question
            << QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No) << QMessageBox::No;
    }
}

// Each kind of box once for real: found as the active modal window while it is
// up, read, and answered by a click.
void TestApplication::realBox()
{
    QFETCH(std::function<QMessageBox::StandardButton()>, show);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    QFETCH(QMessageBox::Icon, icon);
    QFETCH(QMessageBox::StandardButtons, buttons);
    QFETCH(QMessageBox::StandardButton, defaultButton);

    Application::instance().requireAnswers(false);
    BoxAnswerer answerer(answer);
    const QMessageBox::StandardButton result = show();

    QVERIFY2(answerer.seen().isMessageBox, "no message box came up");
    QVERIFY(answerer.answered());
    QCOMPARE(answerer.seen().caption, caption);
    QCOMPARE(answerer.seen().text, text);
    QCOMPARE(answerer.seen().icon, icon);
    QCOMPARE(answerer.seen().buttons, buttons);
    QCOMPARE(answerer.seen().defaultButton, defaultButton);
    QCOMPARE(answerer.seen().modality, Qt::ApplicationModal);
    QCOMPARE(result, answer);
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
