#include "CardStore.h"

#include "CardTable.h"
#include "Connection.h"
#include "Query.h"

namespace store {

QString CurrentSQL;

QString cardFilePath(const QString &executablePath)
{
    const qsizetype slash = executablePath.lastIndexOf(QLatin1Char('/'));
    return executablePath.left(slash + 1) + QStringLiteral("Date/crm.mdb");
}

QString connectionString(const QString &cardFilePath)
{
    return QStringLiteral("Provider=%1;Data Source=").arg(dataset::Connection::providerName()) +
           cardFilePath;
}

void declareCardFields(dataset::Query &query)
{
    for (const dataset::FieldDef &column : cardColumns())
        query.AddField(column);
}

void ReloadCards(dataset::Query &query)
{
    query.Close();
    query.SQL->Clear();
    query.SQL->Add(CurrentSQL);
    query.Open();
}

QString cardCountText(const dataset::Query &query)
{
    return QString::number(query.RecordCount());
}

} // namespace store
