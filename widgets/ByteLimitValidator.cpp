#include "ByteLimitValidator.h"

namespace widgets {

void ByteLimitValidator::setLimit(dataset::TextKind kind, int size)
{
    m_kind = kind;
    m_size = size;
}

QValidator::State ByteLimitValidator::validate(QString &input, int &pos) const
{
    if (m_size < 0 || dataset::textSize(m_kind, input) <= m_size)
        return Acceptable;
    // What was just typed or pasted ends at the cursor: keep the text after
    // the cursor and as much of the text before it as still fits, whole
    // characters only.
    const QString rest = input.mid(pos);
    const int budget = m_size - dataset::textSize(m_kind, rest);
    const QString head = dataset::cutToSize(m_kind, input.left(pos), budget);
    input = head + rest;
    pos = int(head.size());
    return Acceptable;
}

} // namespace widgets
