#include "SqliteFile.h"

#include "CardTable.h"
#include "DataSetError.h"

#include <sqlite3.h>

namespace datasettest {

namespace {

// A connection of its own to the file, made if it is missing.
class Handle
{
public:
    explicit Handle(const QString &path)
    {
        sqlite3_open_v2(path.toUtf8().constData(), &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    }
    ~Handle() { sqlite3_close_v2(m_db); }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    sqlite3 *get() const { return m_db; }

private:
    sqlite3 *m_db = nullptr;
};

QString run(const QString &path, const QString &sql)
{
    const Handle db(path);
    char *message = nullptr;
    if (sqlite3_exec(db.get(), sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return QString();
    const QString error = QString::fromUtf8(message ? message : sqlite3_errmsg(db.get()));
    sqlite3_free(message);
    return error;
}

} // namespace

SqliteFile::SqliteFile(const QStringList &statements)
    : m_path(m_dir.filePath(QStringLiteral("crm.mdb")))
{
    for (const QString &statement : statements)
        create(m_path, statement);
}

SqliteFile::SqliteFile() : SqliteFile(QStringList{store::createTableStatement()}) {}

void SqliteFile::create(const QString &path, const QString &statements)
{
    const QString error = run(path, statements);
    if (!error.isEmpty())
        qFatal("cannot set up the test file: %s", qPrintable(error));
}

QString SqliteFile::connectionString() const
{
    return store::connectionString(m_path);
}

QString SqliteFile::exec(const QString &sql) const
{
    return run(m_path, sql);
}

QString SqliteFile::select(const QString &sql) const
{
    const Handle db(m_path);
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db.get(), sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
        qFatal("cannot read the test file: %s", sqlite3_errmsg(db.get()));
    QStringList rows;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        QStringList values;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, c));
            values.append(text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt, c)) : nullText);
        }
        rows.append(values.join(QLatin1Char('|')));
    }
    sqlite3_finalize(stmt);
    return rows.join(QLatin1Char('\n'));
}

QString errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const dataset::DataSetError &error) {
        return error.message();
    }
    return QString();
}

CardQuery::CardQuery(const QString &connectionString, const QString &statement)
    : query(QStringLiteral("ADOQuery1"), &connection), m_statement(statement)
{
    connection.ConnectionString = connectionString;
    store::declareCardFields(query);
    query.SQL->Add(statement);
}

void CardQuery::reload()
{
    query.Close();
    query.SQL->Clear();
    query.SQL->Add(m_statement);
    query.Open();
}

} // namespace datasettest
