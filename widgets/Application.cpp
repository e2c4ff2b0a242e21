#include "Application.h"

#include "DataSetError.h"

#include <QApplication>
#include <QFileInfo>
#include <QWidget>
#include <exception>

namespace widgets {

bool MessageBoxSpec::operator==(const MessageBoxSpec &other) const
{
    return caption == other.caption && text == other.text && icon == other.icon &&
           buttons == other.buttons && defaultButton == other.defaultButton;
}

QString MessageBoxSpec::describe() const
{
    return QStringLiteral("[caption \"%1\", text \"%2\", icon %3, buttons 0x%4, default 0x%5]")
        .arg(caption, text)
        .arg(int(icon))
        .arg(int(buttons), 0, 16)
        .arg(int(defaultButton), 0, 16);
}

Application::Application() : QObject(qApp) {}

Application &Application::instance()
{
    static Application *application = new Application;
    return *application;
}

QString Application::titleFromExecutable(const QString &executablePath)
{
    QString name = QFileInfo(executablePath).fileName();
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return name.left(1) + name.mid(1).toLower();
}

QString Application::Title() const
{
    return titleFromExecutable(QCoreApplication::applicationFilePath());
}

QString Application::errorText(const QString &message)
{
    if (message.isEmpty() || message.back() <= QLatin1Char('.'))
        return message;
    return message + QLatin1Char('.');
}

void Application::Guard(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const dataset::DataSetError &error) {
        ShowException(error.message());
    } catch (const std::exception &error) {
        ShowException(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowException(QStringLiteral("Unknown error"));
    }
}

void Application::ShowException(const QString &message)
{
    MessageBox(
        {Title(), errorText(message), QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok});
}

void Application::ShowMessage(const QString &text)
{
    MessageBox({Title(), text, QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok});
}

QMessageBox::StandardButton Application::MessageBox(const MessageBoxSpec &box)
{
    m_shown.append(box);
    if (!m_expected.isEmpty()) {
        const Expected expected = m_expected.takeFirst();
        if (!(expected.box == box))
            m_failures.append(QStringLiteral("expected box %1, shown %2")
                                  .arg(expected.box.describe(), box.describe()));
        return expected.answer;
    }
    if (m_answersRequired) {
        m_failures.append(QStringLiteral("unexpected box %1").arg(box.describe()));
        return box.defaultButton;
    }
    QWidget *active = QApplication::activeWindow();
    QMessageBox dialog(box.icon, box.caption, box.text, box.buttons, active);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (box.defaultButton != QMessageBox::NoButton)
        dialog.setDefaultButton(box.defaultButton);
    // Boxes are application boxes: when one closes, the window that was
    // active gets its focus back where it was.
    QWidget *focus = QApplication::focusWidget();
    const auto answer = QMessageBox::StandardButton(dialog.exec());
    if (active && active->isVisible())
        active->activateWindow();
    if (focus && focus->isVisible())
        focus->setFocus();
    return answer;
}

void Application::requireAnswers(bool required)
{
    m_answersRequired = required;
}

void Application::expectBox(const MessageBoxSpec &box, QMessageBox::StandardButton answer)
{
    m_expected.append({box, answer});
}

QStringList Application::takeBoxFailures()
{
    QStringList failures = m_failures;
    for (const Expected &expected : m_expected)
        failures.append(QStringLiteral("expected box never shown %1").arg(expected.box.describe()));
    m_failures.clear();
    m_expected.clear();
    m_shown.clear();
    return failures;
}

} // namespace widgets
