#include "DataSource.h"

#include "DataAware.h"

#include <QWidget>

namespace widgets {

DataSource::DataSource(const QString &name, dataset::Query *dataSet, QObject *parent)
    : QObject(parent), m_dataSet(dataSet)
{
    setObjectName(name);
}

void linkDataSources(QWidget *window)
{
    const auto sources = window->findChildren<DataSource *>();
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        auto *control = dynamic_cast<DataAware *>(widget);
        if (!control)
            continue;
        for (DataSource *source : sources)
            if (source->objectName() == control->dataSourceName())
                control->setDataSource(source);
    }
}

} // namespace widgets
