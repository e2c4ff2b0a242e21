#include "KeyPress.h"

#include <QKeyEvent>

namespace widgets {

QString typedCharacters(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers & (Qt::AltModifier | Qt::MetaModifier))
        return QString();
    switch (event->key()) {
    case Qt::Key_Backspace:
        return QString(QChar(8));
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QString(QChar(carriageReturn));
    case Qt::Key_Escape:
        return QString(QChar(escapeKey));
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return QString();
    default:
        break;
    }
    if ((modifiers & Qt::ControlModifier) && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z)
        return QString(QChar(event->key() - Qt::Key_A + 1));
    QString text = event->text();
    text.removeIf([](QChar ch) { return ch.unicode() < 0x20 || ch.unicode() == 0x7F; });
    return text;
}

} // namespace widgets
