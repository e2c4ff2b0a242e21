#pragma once

#include "Field.h"

#include <QString>
#include <vector>

namespace store {

// The fifteen columns of table Dept, in their order, as the card result set
// declares its fields: field name, column, text kind, size, grid title,
// display width, shown in the grid.
const std::vector<dataset::FieldDef> &cardColumns();

// The statement that makes table Dept: a key column, then the fifteen columns,
// wide ones NVARCHAR(size), narrow ones VARCHAR(size); Del defaults to the live
// flag so that a row added without a flag is still a live card.
QString createTableStatement();

inline const QString liveFlag = QStringLiteral("否");
inline const QString deletedFlag = QStringLiteral("是");

} // namespace store
