#pragma once

#include "CardStore.h"
#include "Connection.h"
#include "Query.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

namespace datasettest {

// How select() shows a NULL.
inline const QString nullText = QStringLiteral("<NULL>");

// A database file in a temporary folder of its own, read and written through
// the plain SQLite API, the way another program would: every call opens its
// own connection.
class SqliteFile
{
public:
    // Creates the file by running the statements, as create() does.
    explicit SqliteFile(const QStringList &statements);
    // A card file with table Dept and no rows.
    SqliteFile();

    // Runs the statements on the file at path, made if it is missing. A test
    // whose files cannot be set up cannot go on: a failure ends the program.
    static void create(const QString &path, const QString &statements);

    QString connectionString() const;

    // Runs one or more statements; returns SQLite's error text, empty on success.
    QString exec(const QString &sql) const;
    // The result of a select as text: values joined by "|", rows by "\n".
    QString select(const QString &sql) const;
    // Every row of Dept in storage order, to see whether anything was written.
    QString dump() const { return select(QStringLiteral("select * from Dept order by rowid")); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// The message of the DataSetError that action throws; empty when it throws none.
QString errorOf(const std::function<void()> &action);

// The card result set as the program sets it up over one file: a connection,
// and ADOQuery1 with the card fields and one statement, still closed.
class CardQuery
{
public:
    explicit CardQuery(const QString &connectionString,
                       const QString &statement = store::baseStatement);

    dataset::Query *operator->() { return &query; }
    QString text(const QString &column) const { return query.FieldByName(column)->AsString(); }
    void set(const QString &column, const QString &value)
    {
        query.FieldByName(column)->SetAsString(value);
    }
    // Close, replace the statement, Open: a fresh load.
    void reload();

    dataset::Connection connection;
    dataset::Query query;

private:
    QString m_statement;
};

} // namespace datasettest
