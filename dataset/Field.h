#pragma once

#include "TextSize.h"

#include <QString>

namespace dataset {

class Query;

// What a program declares about one field of a query.
struct FieldDef
{
    QString name;      // the field object's own name
    QString fieldName; // the column it binds to
    TextKind kind = TextKind::Wide;
    int size = 0;         // UTF-16 units (wide) or GB18030 bytes (narrow)
    QString displayLabel; // empty: the column name is shown
    int displayWidth = 0; // characters; 0 takes the size
    bool visible = true;
};

// A declared field of a query, bound to a result column at every Open.
class Field
{
public:
    Field(Query *query, int index, const FieldDef &def);

    const QString &Name() const { return m_def.name; }
    const QString &FieldName() const { return m_def.fieldName; }
    TextKind Kind() const { return m_def.kind; }
    int Size() const { return m_def.size; }
    QString DisplayLabel() const;
    int DisplayWidth() const { return m_def.displayWidth > 0 ? m_def.displayWidth : m_def.size; }
    bool Visible() const { return m_def.visible; }
    int Index() const { return m_index; }

    // The current row's value, cut to the size; NULL reads as empty text.
    QString AsString() const;
    bool IsNull() const;
    // Allowed in the edit and insert states only; the value is cut to the size.
    void SetAsString(const QString &value);

private:
    Query *m_query;
    int m_index;
    FieldDef m_def;
};

} // namespace dataset
