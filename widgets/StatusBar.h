#pragma once

#include <QFrame>
#include <QList>

class QLabel;

namespace widgets {

// A status bar of fixed panels. The panels are the labels declared inside it,
// numbered from left to right; each keeps its declared width and alignment.
class StatusBar : public QFrame
{
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent = nullptr);

    int panelCount() const { return int(panels().size()); }
    QString panelText(int index) const;
    void setPanelText(int index, const QString &text);

private:
    QList<QLabel *> panels() const;
};

} // namespace widgets
