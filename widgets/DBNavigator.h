#pragma once

#include "DataAware.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

class QPushButton;

namespace dataset {
class Query;
}

namespace widgets {

// Four buttons that move the current row of the data source to the first,
// previous, next and last row. They share the width equally, enable
// themselves by where the current row stands, and never take focus.
class DBNavigator : public QWidget, public DataAware
{
    Q_OBJECT
    Q_PROPERTY(QString dataSourceName READ dataSourceName WRITE setDataSourceName)
    Q_PROPERTY(QStringList hints READ hints WRITE setHints)
public:
    enum Button
    {
        First,
        Prior,
        Next,
        Last
    };

    explicit DBNavigator(QWidget *parent = nullptr);
    void setDataSource(DataSource *source) override;
    QStringList hints() const { return m_hints; }
    void setHints(const QStringList &hints);
    QPushButton *button(Button which) const { return m_buttons[which]; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    dataset::Query *query() const;
    void move(Button which);
    void updateButtons();

    QPushButton *m_buttons[4];
    QStringList m_hints;
    QPointer<DataSource> m_source;
};

} // namespace widgets
