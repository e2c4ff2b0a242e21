#pragma once

#include <QString>

namespace dataset {

// How a text field counts its size: wide text counts UTF-16 units, narrow text
// counts bytes of the Chinese national encoding (GB18030: an ASCII character is
// one byte, a GBK character two, any other character four).
enum class TextKind
{
    Wide,
    Narrow
};

// Size of a text as the kind counts it.
int textSize(TextKind kind, const QString &text);

// The longest prefix of text whose size is at most maxSize; never splits a
// character (a surrogate pair stays whole or goes whole).
QString cutToSize(TextKind kind, const QString &text, int maxSize);

} // namespace dataset
