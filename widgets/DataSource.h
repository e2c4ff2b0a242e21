#pragma once

#include <QObject>

namespace dataset {
class Query;
}

namespace widgets {

// Links data-aware controls to one query: they all show and move its current
// row. Controls name their data source in their declared layout; the window
// resolves the name with linkDataSources().
class DataSource : public QObject
{
    Q_OBJECT
public:
    DataSource(const QString &name, dataset::Query *dataSet, QObject *parent);
    dataset::Query *DataSet() const { return m_dataSet; }

private:
    dataset::Query *m_dataSet;
};

// Gives every data-aware control under window the data source it names.
void linkDataSources(QWidget *window);

} // namespace widgets
