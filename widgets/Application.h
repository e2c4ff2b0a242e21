#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace widgets {

// What a message box shows: enough to tell one box from another.
struct MessageBoxSpec
{
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;

    bool operator==(const MessageBoxSpec &other) const;
    QString describe() const;
};

// The program's application object: its title, the handler guard and every
// box the program shows. Boxes are application-modal.
//
// Tests pre-answer boxes: queue what is expected with expectBox() before the
// action, then check takeBoxFailures() is empty. While answers are required, a
// box is never shown: a box with no queued answer, or another box than the one
// expected, is a failure (and takes its default answer).
class Application : public QObject
{
    Q_OBJECT
public:
    static Application &instance();

    // The executable's name without its folder, cut before its first period,
    // every character after the first in lower case.
    static QString titleFromExecutable(const QString &executablePath);
    QString Title() const;

    // The error box's text: the message and a period, unless the message is
    // empty or already ends in a character that sorts at or before ".".
    static QString errorText(const QString &message);

    // Runs one handler. An error ends it at the failing step and is shown in
    // the error box; no exception leaves this call.
    void Guard(const std::function<void()> &handler);

    void ShowException(const QString &message);
    QMessageBox::StandardButton MessageBox(const MessageBoxSpec &box);
    // The simple message dialog: the title as caption, no icon, one OK.
    void ShowMessage(const QString &text);

    void requireAnswers(bool required);
    void expectBox(const MessageBoxSpec &box, QMessageBox::StandardButton answer);
    // Boxes that did not go as expected, and expected boxes that never came.
    QStringList takeBoxFailures();
    // Every box shown (or answered) so far, oldest first.
    const QList<MessageBoxSpec> &shownBoxes() const { return m_shown; }

private:
    Application();
    struct Expected
    {
        MessageBoxSpec box;
        QMessageBox::StandardButton answer;
    };

    bool m_answersRequired = false;
    QList<Expected> m_expected;
    QList<MessageBoxSpec> m_shown;
    QStringList m_failures;
};

} // namespace widgets
