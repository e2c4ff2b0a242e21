#include "StatusBar.h"

#include <QLabel>
#include <algorithm>

namespace widgets {

StatusBar::StatusBar(QWidget *parent) : QFrame(parent) {}

QList<QLabel *> StatusBar::panels() const
{
    QList<QLabel *> labels = findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    std::sort(labels.begin(), labels.end(),
              [](const QLabel *a, const QLabel *b) { return a->x() < b->x(); });
    return labels;
}

QString StatusBar::panelText(int index) const
{
    return panels().value(index) ? panels().value(index)->text() : QString();
}

void StatusBar::setPanelText(int index, const QString &text)
{
    if (QLabel *panel = panels().value(index))
        panel->setText(text);
}

} // namespace widgets
