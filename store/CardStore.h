#pragma once

#include <QString>

namespace dataset {
class Query;
}

namespace store {

// The statement with which the card list was last loaded; every load sets it
// first and then calls ReloadCards.
extern QString CurrentSQL;

// Lists every live card with all its columns.
inline const QString baseStatement = QStringLiteral("select * from Dept where del='否'");

// The card file lies in the folder "Date" beside the executable, whatever the
// working directory.
QString cardFilePath(const QString &executablePath);
QString connectionString(const QString &cardFilePath);

// Declares the fifteen card fields on a query.
void declareCardFields(dataset::Query &query);

// Close, replace the statement by CurrentSQL, Open.
void ReloadCards(dataset::Query &query);

// The record count as plain decimal digits.
QString cardCountText(const dataset::Query &query);

} // namespace store
