#include "GuiSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QtTest>

namespace guisupport {

void typeText(const QString &text)
{
    for (QChar ch : text) {
        QWidget *target = QApplication::focusWidget();
        if (!target)
            QFAIL("no widget has the focus");
        if (ch.unicode() < 0x80) {
            QTest::keyClick(target, char(ch.unicode()));
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &release);
    }
}

bool showActive(QWidget *window)
{
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return false;
    window->activateWindow();
    return QTest::qWaitFor([window] { return window->isActiveWindow(); });
}

widgets::MessageBoxSpec errorBox(const QString &message)
{
    return {widgets::Application::instance().Title(), message, QMessageBox::Critical,
            QMessageBox::Ok, QMessageBox::Ok};
}

QStringList listedNames(const dataset::Query &query)
{
    QStringList names;
    const dataset::Field *name = query.FieldByName(QStringLiteral("Name"));
    for (int row = 0; row < query.rowCount(); ++row)
        names.append(query.cellText(row, name));
    return names;
}

MainWindowFixture::MainWindowFixture(const std::vector<testsupport::Card> &cards,
                                     const QString &beforeStart)
    : m_file(cards)
{
    if (!beforeStart.isEmpty())
        testsupport::exec(m_file.path(), beforeStart);
    window = std::make_unique<TfrmMain>(m_file.folder() + QStringLiteral("/namecards"));
}

} // namespace guisupport
