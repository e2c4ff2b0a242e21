#include "CardTable.h"

#include <QStringList>

namespace store {

using dataset::TextKind;

const std::vector<dataset::FieldDef> &cardColumns()
{
    static const std::vector<dataset::FieldDef> columns = {
        {"ADOQuery1Name", "Name", TextKind::Wide, 12, "姓名", 12, true},
        {"ADOQuery1Dept", "Dept", TextKind::Wide, 30, "单位名称", 30, true},
        {"ADOQuery1Part", "Part", TextKind::Narrow, 10, "部门", 10, true},
        {"ADOQuery1Job", "Job", TextKind::Narrow, 10, "职务", 10, true},
        {"ADOQuery1Phone", "JPhone", TextKind::Wide, 15, "办公电话", 15, true},
        {"ADOQuery1Fax", "Fax", TextKind::Narrow, 15, "传真", 15, true},
        {"ADOQuery1Address", "JAddress", TextKind::Wide, 30, "地址", 30, true},
        {"ADOQuery1City", "City", TextKind::Narrow, 10, "城市", 10, true},
        {"ADOQuery1WWW", "WWW", TextKind::Wide, 30, "", 30, true},
        {"ADOQuery1E_Mail", "E_Mail", TextKind::Wide, 30, "", 30, true},
        {"ADOQuery1Phone1", "HPhone", TextKind::Narrow, 15, "住宅电话", 15, true},
        {"ADOQuery1Moblio", "Moblio", TextKind::Narrow, 15, "移动电话", 15, true},
        {"ADOQuery1HAddress", "HAddress", TextKind::Narrow, 30, "家庭地址", 30, true},
        {"ADOQuery1Des", "Des", TextKind::Wide, 200, "经营范围", 40, true},
        {"ADOQuery1Del", "Del", TextKind::Wide, 2, "", 2, false},
    };
    return columns;
}

QString createTableStatement()
{
    QStringList columns{QStringLiteral("ID INTEGER PRIMARY KEY")};
    for (const dataset::FieldDef &column : cardColumns()) {
        QString declaration = QStringLiteral("%1 %2(%3)")
                                  .arg(column.fieldName,
                                       column.kind == TextKind::Wide ? QStringLiteral("NVARCHAR")
                                                                     : QStringLiteral("VARCHAR"),
                                       QString::number(column.size));
        if (column.fieldName == QLatin1String("Del"))
            declaration += QStringLiteral(" DEFAULT '%1'").arg(liveFlag);
        columns.append(declaration);
    }
    return QStringLiteral("CREATE TABLE Dept (%1)").arg(columns.join(QStringLiteral(", ")));
}

} // namespace store
