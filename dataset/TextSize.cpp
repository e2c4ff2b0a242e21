#include "TextSize.h"

#include <QStringEncoder>

namespace dataset {

namespace {

// Bytes of a BMP code point outside ASCII: two when GBK has it, else four.
// GB18030 encodes exactly the GBK repertoire in two bytes.
int bmpBytes(char16_t unit)
{
    static QStringEncoder encoder("GB18030");
    const QChar ch(unit);
    const QByteArray bytes = encoder.encode(QStringView(&ch, 1));
    return int(bytes.size());
}

} // namespace

int textSize(TextKind kind, const QString &text)
{
    if (kind == TextKind::Wide)
        return int(text.size());
    int bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch.unicode() < 0x80) {
            bytes += 1;
        } else if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            bytes += 4;
            ++i;
        } else if (ch.isSurrogate()) {
            bytes += 4;
        } else {
            bytes += bmpBytes(ch.unicode());
        }
    }
    return bytes;
}

QString cutToSize(TextKind kind, const QString &text, int maxSize)
{
    if (maxSize < 0)
        maxSize = 0;
    if (kind == TextKind::Wide) {
        if (text.size() <= maxSize)
            return text;
        qsizetype end = maxSize;
        if (end > 0 && text.at(end - 1).isHighSurrogate() && text.at(end).isLowSurrogate())
            --end;
        return text.left(end);
    }
    int bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar ch = text.at(i);
        int units = 1;
        int size;
        if (ch.unicode() < 0x80) {
            size = 1;
        } else if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            size = 4;
            units = 2;
        } else if (ch.isSurrogate()) {
            size = 4;
        } else {
            size = bmpBytes(ch.unicode());
        }
        if (bytes + size > maxSize)
            break;
        bytes += size;
        i += units;
    }
    return i == text.size() ? text : text.left(i);
}

} // namespace dataset
