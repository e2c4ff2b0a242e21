#pragma once

#include <QString>

namespace widgets {

class DataSource;

// A control that shows its window's data source. The layout names the source;
// linkDataSources() hands it over once the window is built.
class DataAware
{
public:
    virtual ~DataAware() = default;
    QString dataSourceName() const { return m_dataSourceName; }
    void setDataSourceName(const QString &name) { m_dataSourceName = name; }
    virtual void setDataSource(DataSource *source) = 0;

private:
    QString m_dataSourceName;
};

} // namespace widgets
