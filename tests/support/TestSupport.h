#pragma once

#include "CardFile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <initializer_list>
#include <utility>
#include <vector>

// Small helpers for the tests: temporary card files and plain-SQL access to a
// card file. A failing helper prints its reason as a warning and throws
// std::runtime_error; Qt Test reports the running test as failed and ends the
// test program, since a broken fixture leaves nothing worth running.
namespace testsupport {

using tools::Card;
using tools::CardValue;

// How rows() writes a NULL, so that QCOMPARE tells NULL from "".
inline const QString null = QStringLiteral("<NULL>");

// A card from a few named columns (column names as in store::cardColumns(),
// any letter case); the columns not named are NULL.
// card({{"Name", "张三"}, {"Del", "否"}})
Card card(std::initializer_list<std::pair<QString, CardValue>> values);

// A card file in a new temporary folder, at <folder>/Date/crm.mdb, made by
// tools::createCardFile with the given cards (so the cards must fit their
// columns; use exec() for fixtures beyond that). Removed with the object.
class TempCardFile
{
public:
    explicit TempCardFile(const std::vector<Card> &cards = {});
    TempCardFile(const TempCardFile &) = delete;
    TempCardFile &operator=(const TempCardFile &) = delete;

    // The temporary folder, standing for the executable's folder.
    QString folder() const { return m_folder.path(); }
    QString path() const { return m_path; }

private:
    QTemporaryDir m_folder;
    QString m_path;
};

// Every row of a select statement, each value as text; NULL as testsupport::null.
QList<QStringList> rows(const QString &path, const QString &sql);

// Runs one or more statements (separated by ";") on the file, e.g. to add a
// trigger, an extra column or an out-of-size value.
void exec(const QString &path, const QString &sql);

} // namespace testsupport
