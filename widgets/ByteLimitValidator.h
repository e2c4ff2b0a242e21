#pragma once

#include "TextSize.h"

#include <QValidator>

namespace widgets {

// Keeps an edit's text within a field's size as the field counts it. Text that
// would not fit is cut back from the cursor, so a typed character that does not
// fit is simply not entered and a paste keeps its beginning, as much as fits.
class ByteLimitValidator : public QValidator
{
    Q_OBJECT
public:
    explicit ByteLimitValidator(QObject *parent = nullptr) : QValidator(parent) {}
    // A negative size sets no limit.
    void setLimit(dataset::TextKind kind, int size);
    State validate(QString &input, int &pos) const override;

private:
    dataset::TextKind m_kind = dataset::TextKind::Wide;
    int m_size = -1;
};

} // namespace widgets
