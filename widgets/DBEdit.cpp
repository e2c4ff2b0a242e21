#include "DBEdit.h"

#include "Application.h"
#include "ByteLimitValidator.h"
#include "DataSource.h"
#include "KeyPress.h"
#include "Query.h"

#include <QKeyEvent>

namespace widgets {

namespace {

// Characters that change the text: printable ones, Backspace, Ctrl+V, Ctrl+X.
bool changesText(QChar ch)
{
    return ch.unicode() >= 0x20 || ch.unicode() == 8 || ch.unicode() == 22 || ch.unicode() == 24;
}

// Keys that type no character but change the text.
bool editingKey(QKeyEvent *event)
{
    return event->key() == Qt::Key_Delete || event->matches(QKeySequence::Paste) ||
           event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Undo) ||
           event->matches(QKeySequence::Redo) || event->matches(QKeySequence::DeleteEndOfWord) ||
           event->matches(QKeySequence::DeleteStartOfWord) ||
           event->matches(QKeySequence::DeleteEndOfLine);
}

} // namespace

DBEdit::DBEdit(QWidget *parent) : QLineEdit(parent), m_validator(new ByteLimitValidator(this))
{
    setValidator(m_validator);
    connect(this, &QLineEdit::textEdited, this, [this] {
        m_modified = true;
        // A change that came by another way than a key (the context menu, a
        // drop) starts editing too; if editing cannot start, it is undone.
        if (query() && !query()->editing() && !startEditing())
            showField(true);
    });
}

void DBEdit::setDataField(const QString &column)
{
    m_dataField = column;
    showField(true);
}

void DBEdit::setDataSource(DataSource *source)
{
    if (m_source)
        disconnect(m_source->DataSet(), nullptr, this, nullptr);
    m_source = source;
    if (dataset::Query *q = query()) {
        connect(q, &dataset::Query::resetDone, this, [this] { showField(true); });
        connect(q, &dataset::Query::currentRowChanged, this, [this] { showField(true); });
        connect(q, &dataset::Query::rowDataChanged, this, [this](int row) {
            if (row == query()->currentRow())
                showField(false);
        });
        connect(q, &dataset::Query::stateChanged, this, [this] { showField(!query()->editing()); });
        connect(q, &dataset::Query::updateRecord, this, &DBEdit::handOver);
    }
    showField(true);
}

dataset::Query *DBEdit::query() const
{
    return m_source ? m_source->DataSet() : nullptr;
}

dataset::Field *DBEdit::field() const
{
    dataset::Query *q = query();
    return q && q->Active() ? q->FindField(m_dataField) : nullptr;
}

// Shows the field's value; unless forced, text the user has typed and not yet
// handed over stays.
void DBEdit::showField(bool force)
{
    if (!force && m_modified)
        return;
    dataset::Field *f = field();
    if (f)
        m_validator->setLimit(f->Kind(), f->Size());
    else
        m_validator->setLimit(dataset::TextKind::Wide, -1);
    const QString value = f ? f->AsString() : QString();
    if (text() != value)
        setText(value);
    m_modified = false;
}

void DBEdit::handOver()
{
    dataset::Field *f = field();
    if (!m_modified || !f || !query()->editing())
        return;
    m_modified = false;
    f->SetAsString(text());
}

bool DBEdit::startEditing()
{
    dataset::Query *q = query();
    if (!q || !q->Active() || !field())
        return false;
    if (!q->editing())
        Application::instance().Guard([q] { q->Edit(); });
    return q->editing();
}

void DBEdit::keyPressEvent(QKeyEvent *event)
{
    const QString typed = typedCharacters(event);
    if (typed.isEmpty()) {
        if (editingKey(event) && !startEditing()) {
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    for (QChar ch : typed) {
        if (OnKeyPress)
            Application::instance().Guard([&] { OnKeyPress(this, ch); });
        if (ch == carriageReturn)
            continue;
        if (ch == escapeKey) {
            showField(true);
            selectAll();
            continue;
        }
        if (changesText(ch) && !startEditing())
            continue;
        switch (ch.unicode()) {
        case 8:
            backspace();
            break;
        case 3:
            copy();
            break;
        case 22:
            paste();
            break;
        case 24:
            cut();
            break;
        case 1:
            selectAll();
            break;
        default:
            if (ch.unicode() >= 0x20) {
                insert(QString(ch));
                m_modified = true;
            }
            break;
        }
    }
}

} // namespace widgets
