#pragma once

#include <QString>

class QKeyEvent;

namespace widgets {

// The characters a key press types, as a key-press handler sees them: printable
// text, and the control codes of Backspace (8), Enter (13), Escape (27) and
// Ctrl with a letter (1 to 26). Empty for keys that type nothing (arrows, Tab,
// function keys, accelerators).
QString typedCharacters(const QKeyEvent *event);

constexpr char16_t carriageReturn = 13;
constexpr char16_t escapeKey = 27;

} // namespace widgets
