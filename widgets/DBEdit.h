#pragma once

#include "DataAware.h"

#include <QLineEdit>
#include <QPointer>
#include <functional>

namespace dataset {
class Field;
class Query;
} // namespace dataset

namespace widgets {

class ByteLimitValidator;

// A single-line edit bound to one column of its data source's current row.
// Typing an accepted character starts editing the row; Escape puts back the
// field's value; input never exceeds the field's size; the typed text reaches
// the field when the query asks for it (at a post or a move).
class DBEdit : public QLineEdit, public DataAware
{
    Q_OBJECT
    Q_PROPERTY(QString dataField READ DataField WRITE setDataField)
    Q_PROPERTY(QString dataSourceName READ dataSourceName WRITE setDataSourceName)
public:
    explicit DBEdit(QWidget *parent = nullptr);

    QString DataField() const { return m_dataField; }
    void setDataField(const QString &column);
    void setDataSource(DataSource *source) override;
    dataset::Field *field() const;

    // Sees each typed character before the edit does and may replace it; a
    // carriage return is never inserted.
    std::function<void(QObject *sender, QChar &key)> OnKeyPress;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    dataset::Query *query() const;
    bool startEditing();
    void showField(bool force);
    void handOver();

    QString m_dataField;
    QPointer<DataSource> m_source;
    ByteLimitValidator *m_validator;
    bool m_modified = false;
};

} // namespace widgets
