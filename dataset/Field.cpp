#include "Field.h"

#include "Query.h"

namespace dataset {

Field::Field(Query *query, int index, const FieldDef &def)
    : m_query(query), m_index(index), m_def(def)
{
}

QString Field::DisplayLabel() const
{
    return m_def.displayLabel.isEmpty() ? m_def.fieldName : m_def.displayLabel;
}

QString Field::AsString() const
{
    return m_query->fieldValue(m_index);
}

bool Field::IsNull() const
{
    return m_query->fieldIsNull(m_index);
}

void Field::SetAsString(const QString &value)
{
    m_query->setFieldValue(m_index, value);
}

} // namespace dataset
