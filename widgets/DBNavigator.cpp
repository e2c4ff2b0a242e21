#include "DBNavigator.h"

#include "Application.h"
#include "DataSource.h"
#include "Query.h"

#include <QPushButton>

namespace widgets {

DBNavigator::DBNavigator(QWidget *parent) : QWidget(parent)
{
    static const char *const glyphs[] = {"|◀", "◀", "▶", "▶|"};
    for (int i = 0; i < 4; ++i) {
        auto *button = new QPushButton(QString::fromUtf8(glyphs[i]), this);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, [this, i] { move(Button(i)); });
        m_buttons[i] = button;
    }
    updateButtons();
}

void DBNavigator::setHints(const QStringList &hints)
{
    m_hints = hints;
    for (int i = 0; i < 4; ++i) {
        const QString hint = hints.value(i);
        m_buttons[i]->setToolTip(hint);
        m_buttons[i]->setAccessibleName(hint);
    }
}

void DBNavigator::setDataSource(DataSource *source)
{
    if (m_source && m_source->DataSet())
        disconnect(m_source->DataSet(), nullptr, this, nullptr);
    m_source = source;
    if (dataset::Query *q = query()) {
        connect(q, &dataset::Query::currentRowChanged, this, &DBNavigator::updateButtons);
        connect(q, &dataset::Query::resetDone, this, &DBNavigator::updateButtons);
        connect(q, &dataset::Query::rowAppended, this, &DBNavigator::updateButtons);
        connect(q, &dataset::Query::rowRemoved, this, &DBNavigator::updateButtons);
        connect(q, &dataset::Query::stateChanged, this, &DBNavigator::updateButtons);
    }
    updateButtons();
}

dataset::Query *DBNavigator::query() const
{
    return m_source ? m_source->DataSet() : nullptr;
}

void DBNavigator::resizeEvent(QResizeEvent *)
{
    const int each = width() / 4;
    for (int i = 0; i < 4; ++i)
        m_buttons[i]->setGeometry(i * each, 0, each, height());
}

void DBNavigator::move(Button which)
{
    dataset::Query *q = query();
    if (!q)
        return;
    Application::instance().Guard([q, which] {
        switch (which) {
        case First:
            q->First();
            break;
        case Prior:
            q->Prior();
            break;
        case Next:
            q->Next();
            break;
        case Last:
            q->Last();
            break;
        }
    });
}

void DBNavigator::updateButtons()
{
    const dataset::Query *q = query();
    const int count = q ? q->rowCount() : 0;
    const int row = q ? q->currentRow() : -1;
    const bool back = count > 0 && row > 0;
    const bool forward = count > 0 && row < count - 1;
    m_buttons[First]->setEnabled(back);
    m_buttons[Prior]->setEnabled(back);
    m_buttons[Next]->setEnabled(forward);
    m_buttons[Last]->setEnabled(forward);
}

} // namespace widgets
