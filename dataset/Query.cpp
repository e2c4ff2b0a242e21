#include "Query.h"

#include "Connection.h"
#include "DataSetError.h"

#include <algorithm>
#include <sqlite3.h>

namespace dataset {

namespace {

class Statement
{
public:
    Statement(sqlite3 *db, const QString &sql)
    {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_stmt, nullptr) !=
            SQLITE_OK)
            throw DataSetError(storeError(db));
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    sqlite3_stmt *get() const { return m_stmt; }

    static QString storeError(sqlite3 *db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

private:
    sqlite3_stmt *m_stmt = nullptr;
};

// SQLite's column affinity rules: a declared type is text when it names no INT
// and contains CHAR, CLOB or TEXT. An expression (no declared type) is taken as
// text too.
bool isTextType(const char *declared)
{
    if (!declared || !*declared)
        return declared == nullptr;
    const QByteArray type = QByteArray(declared).toUpper();
    if (type.contains("INT"))
        return false;
    return type.contains("CHAR") || type.contains("CLOB") || type.contains("TEXT");
}

QString quoteIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

void bindValue(sqlite3_stmt *stmt, int index, const QByteArray &text, bool isNull)
{
    if (isNull)
        sqlite3_bind_null(stmt, index);
    else
        sqlite3_bind_text(stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

QString decode(const RawValue &value)
{
    return value.isNull ? QString()
                        : QString::fromUtf8(value.text.data(), qsizetype(value.text.size()));
}

} // namespace

Query::Query(const QString &name, Connection *connection, QObject *parent)
    : QObject(parent), SQL(std::make_unique<StringList>()), m_connection(connection)
{
    setObjectName(name);
}

Field *Query::AddField(const FieldDef &def)
{
    m_fields.push_back(std::make_unique<Field>(this, int(m_fields.size()), def));
    return m_fields.back().get();
}

Field *Query::FindField(const QString &fieldName) const
{
    for (const auto &field : m_fields)
        if (field->FieldName().compare(fieldName, Qt::CaseInsensitive) == 0)
            return field.get();
    return nullptr;
}

Field *Query::FieldByName(const QString &fieldName) const
{
    Field *field = FindField(fieldName);
    if (!field)
        fail(QStringLiteral("Field '%1' not found").arg(fieldName));
    return field;
}

void Query::fail(const QString &text) const
{
    throw DataSetError(Name() + QStringLiteral(": ") + text);
}

void Query::checkActive() const
{
    if (!Active())
        fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void Query::checkEditing() const
{
    if (!editing())
        fail(QStringLiteral("Dataset not in edit or insert mode"));
}

int Query::RecordCount() const
{
    checkActive();
    return m_rows.rowCount();
}

void Query::setState(State state)
{
    if (m_state != state) {
        m_state = state;
        emit stateChanged();
    }
}

void Query::Open()
{
    if (Active())
        return;
    try {
        load();
    } catch (...) {
        // A set that fails to open holds no rows, nor the memory that Close
        // kept for them.
        m_rows.clear(0);
        throw;
    }
}

void Query::load()
{
    m_connection->Open();
    sqlite3 *db = m_connection->handle();
    std::unique_ptr<Statement> stmt;
    try {
        stmt = std::make_unique<Statement>(db, SQL->Text());
    } catch (const DataSetError &error) {
        const QString noTable = QStringLiteral("no such table: ");
        if (error.message().startsWith(noTable))
            throw DataSetError(
                QStringLiteral("The database file '%1' has no table '%2'")
                    .arg(m_connection->databasePath(), error.message().mid(noTable.size())));
        throw;
    }
    bindFields(stmt->get());
    findRowIdentity(stmt->get());
    emit aboutToReset();
    try {
        fetch(stmt->get());
    } catch (...) {
        emit resetDone();
        throw;
    }
    m_current = m_rows.rowCount() > 0 ? 0 : -1;
    m_state = State::Browse;
    emit resetDone();
    emit stateChanged();
    emit currentRowChanged(m_current);
}

void Query::bindFields(sqlite3_stmt *stmt)
{
    const int columns = sqlite3_column_count(stmt);
    m_columns.clear();
    for (int c = 0; c < columns; ++c)
        m_columns.append(QString::fromUtf8(sqlite3_column_name(stmt, c)));
    m_fieldColumn.assign(m_fields.size(), -1);
    for (const auto &field : m_fields) {
        int column = -1;
        for (int c = 0; c < columns && column < 0; ++c)
            if (m_columns[c].compare(field->FieldName(), Qt::CaseInsensitive) == 0)
                column = c;
        if (column < 0)
            fail(QStringLiteral("Field '%1' not found").arg(field->DisplayLabel()));
        const char *declared = sqlite3_column_decltype(stmt, column);
        if (!isTextType(declared))
            fail(QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                     .arg(field->DisplayLabel(),
                          field->Kind() == TextKind::Wide ? QStringLiteral("WideString")
                                                          : QStringLiteral("String"),
                          declared && *declared ? QString::fromUtf8(declared)
                                                : QStringLiteral("BLOB")));
        m_fieldColumn[std::size_t(field->Index())] = column;
    }
}

void Query::findRowIdentity(sqlite3_stmt *stmt)
{
    const int columns = sqlite3_column_count(stmt);
    m_table.clear();
    m_origins.clear();
    m_identity.clear();
    for (int c = 0; c < columns; ++c) {
        const char *table = sqlite3_column_table_name(stmt, c);
        if (m_table.isEmpty() && table)
            m_table = QString::fromUtf8(table);
    }
    for (int c = 0; c < columns; ++c) {
        const char *table = sqlite3_column_table_name(stmt, c);
        const char *origin = sqlite3_column_origin_name(stmt, c);
        const bool fromTable = table && origin && QString::fromUtf8(table) == m_table;
        m_origins.append(fromTable ? QString::fromUtf8(origin) : QString());
    }
    if (m_table.isEmpty())
        return;
    QStringList keys;
    Statement info(m_connection->handle(),
                   QStringLiteral("pragma table_info(%1)").arg(quoteIdentifier(m_table)));
    while (sqlite3_step(info.get()) == SQLITE_ROW)
        if (sqlite3_column_int(info.get(), 5) > 0)
            keys.append(QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(info.get(), 1))));
    for (const QString &key : keys) {
        const qsizetype at = m_origins.indexOf(key);
        if (at < 0) {
            m_identity.clear();
            break;
        }
        m_identity.push_back(int(at));
    }
    if (m_identity.empty())
        for (int c = 0; c < columns; ++c)
            if (!m_origins[c].isEmpty())
                m_identity.push_back(c);
}

void Query::fetch(sqlite3_stmt *stmt)
{
    const int columns = sqlite3_column_count(stmt);
    m_rows.recycle(columns);
    std::vector<RawValue> values(static_cast<std::size_t>(columns));
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, c));
            values[std::size_t(c)] =
                text ? RawValue{std::string_view(text, std::size_t(sqlite3_column_bytes(stmt, c))),
                                false}
                     : RawValue{};
        }
        m_rows.append(values.data());
    }
    if (rc != SQLITE_DONE)
        throw DataSetError(Statement::storeError(m_connection->handle()));
    m_rows.releaseSpare();
}

void Query::Close()
{
    if (!Active())
        return;
    emit aboutToReset();
    dropEdit();
    // The rows' memory is kept for the Open that normally follows.
    m_rows.recycle(0);
    m_current = -1;
    m_state = State::Inactive;
    emit resetDone();
    emit stateChanged();
    emit currentRowChanged(-1);
}

void Query::dropEdit()
{
    m_buffer.clear();
    m_assigned.clear();
    m_modified = false;
}

void Query::Edit()
{
    checkActive();
    if (editing())
        return;
    if (m_rows.rowCount() == 0) {
        Append();
        return;
    }
    std::vector<RawValue> raw;
    m_rows.values(m_current, raw);
    m_buffer.assign(raw.size(), Value{});
    for (std::size_t c = 0; c < raw.size(); ++c)
        m_buffer[c] = {QByteArray(raw[c].text.data(), qsizetype(raw[c].text.size())),
                       raw[c].isNull};
    m_assigned.assign(raw.size(), false);
    m_modified = false;
    setState(State::Edit);
}

void Query::Append()
{
    checkActive();
    settle();
    const int row = m_rows.rowCount();
    m_rowBeforeInsert = m_current;
    emit rowAboutToBeAppended(row);
    m_rows.appendNulls();
    m_buffer.assign(std::size_t(m_rows.columnCount()), Value{});
    m_assigned.assign(m_buffer.size(), false);
    m_modified = false;
    m_current = row;
    m_state = State::Insert;
    emit rowAppended(row);
    if (OnNewRecord) {
        m_inNewRecord = true;
        try {
            OnNewRecord();
        } catch (...) {
            m_inNewRecord = false;
            throw;
        }
        m_inNewRecord = false;
    }
    emit stateChanged();
    emit currentRowChanged(row);
}

void Query::Post()
{
    checkEditing();
    emit updateRecord();
    writeRow();
}

void Query::writeRow()
{
    sqlite3 *db = m_connection->handle();
    if (m_table.isEmpty())
        fail(QStringLiteral("The result of this statement cannot be changed"));
    std::vector<RawValue> original;
    m_rows.values(m_current, original);
    std::vector<int> changed;
    for (std::size_t c = 0; c < m_buffer.size(); ++c) {
        if (!m_assigned[c] || m_origins[int(c)].isEmpty())
            continue;
        const bool same =
            m_buffer[c].isNull == original[c].isNull &&
            std::string_view(m_buffer[c].text.constData(), std::size_t(m_buffer[c].text.size())) ==
                original[c].text;
        if (m_state == State::Insert || !same)
            changed.push_back(int(c));
    }
    if (m_state == State::Edit) {
        if (!changed.empty()) {
            QStringList sets;
            for (int c : changed)
                sets.append(quoteIdentifier(m_origins[c]) + QStringLiteral(" = ?"));
            // The row is found by its key, and must still hold the values that
            // this change replaces: a change made meanwhile by another program
            // is never overwritten.
            QStringList where;
            std::vector<int> compared = m_identity;
            for (int c : changed)
                if (std::find(compared.begin(), compared.end(), c) == compared.end())
                    compared.push_back(c);
            for (int c : compared)
                where.append(quoteIdentifier(m_origins[c]) + QStringLiteral(" IS ?"));
            const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = (SELECT rowid FROM "
                                               "%1 WHERE %3 LIMIT 1)")
                                    .arg(quoteIdentifier(m_table), sets.join(QStringLiteral(", ")),
                                         where.join(QStringLiteral(" AND ")));
            Statement update(db, sql);
            int index = 1;
            for (int c : changed)
                bindValue(update.get(), index++, m_buffer[std::size_t(c)].text,
                          m_buffer[std::size_t(c)].isNull);
            for (int c : compared) {
                const RawValue &value = original[std::size_t(c)];
                bindValue(update.get(), index++,
                          QByteArray(value.text.data(), qsizetype(value.text.size())),
                          value.isNull);
            }
            if (sqlite3_step(update.get()) != SQLITE_DONE)
                throw DataSetError(Statement::storeError(db));
            if (sqlite3_changes(db) == 0)
                throw DataSetError(QStringLiteral(
                    "The row cannot be saved: another program changed or removed it since the "
                    "list was loaded. Nothing was written; cancel and load the list again"));
        }
        std::vector<RawValue> updated(original);
        for (int c : changed)
            updated[std::size_t(c)] = {
                std::string_view(m_buffer[std::size_t(c)].text.constData(),
                                 std::size_t(m_buffer[std::size_t(c)].text.size())),
                m_buffer[std::size_t(c)].isNull};
        m_rows.replace(m_current, updated.data());
    } else {
        QString sql;
        if (changed.empty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdentifier(m_table));
        } else {
            QStringList names;
            QStringList marks;
            for (int c : changed) {
                names.append(quoteIdentifier(m_origins[c]));
                marks.append(QStringLiteral("?"));
            }
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quoteIdentifier(m_table), names.join(QStringLiteral(", ")),
                           marks.join(QStringLiteral(", ")));
        }
        Statement insert(db, sql);
        int index = 1;
        for (int c : changed)
            bindValue(insert.get(), index++, m_buffer[std::size_t(c)].text,
                      m_buffer[std::size_t(c)].isNull);
        if (sqlite3_step(insert.get()) != SQLITE_DONE)
            throw DataSetError(Statement::storeError(db));
        reloadRow(sqlite3_last_insert_rowid(db));
    }
    dropEdit();
    setState(State::Browse);
    emit rowDataChanged(m_current);
}

// Reads a freshly added row back, so that the values the table supplied itself
// (its key, defaults) show as they are stored.
void Query::reloadRow(long long rowid)
{
    QStringList columns;
    for (const QString &origin : m_origins)
        columns.append(origin.isEmpty() ? QStringLiteral("NULL") : quoteIdentifier(origin));
    Statement select(m_connection->handle(),
                     QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                         .arg(columns.join(QStringLiteral(", ")), quoteIdentifier(m_table)));
    sqlite3_bind_int64(select.get(), 1, rowid);
    std::vector<RawValue> values(m_buffer.size());
    if (sqlite3_step(select.get()) == SQLITE_ROW) {
        for (int c = 0; c < int(values.size()); ++c) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(select.get(), c));
            values[std::size_t(c)] =
                text ? RawValue{std::string_view(
                                    text, std::size_t(sqlite3_column_bytes(select.get(), c))),
                                false}
                     : RawValue{};
        }
    } else {
        for (std::size_t c = 0; c < values.size(); ++c)
            values[c] = {std::string_view(m_buffer[c].text.constData(),
                                          std::size_t(m_buffer[c].text.size())),
                         m_buffer[c].isNull};
    }
    m_rows.replace(m_current, values.data());
}

void Query::Cancel()
{
    if (!editing())
        return;
    if (m_state == State::Insert) {
        // Back in browse first: whatever the removal signals set off finds no
        // pending row to settle a second time.
        const int row = m_current;
        dropEdit();
        m_state = State::Browse;
        emit rowAboutToBeRemoved(row);
        m_rows.remove(row);
        m_current = m_rowBeforeInsert >= 0 && m_rowBeforeInsert < m_rows.rowCount()
                        ? m_rowBeforeInsert
                        : m_rows.rowCount() - 1;
        emit rowRemoved(row);
        emit stateChanged();
        emit currentRowChanged(m_current);
        return;
    }
    dropEdit();
    setState(State::Browse);
    emit rowDataChanged(m_current);
}

void Query::settle()
{
    if (!editing())
        return;
    emit updateRecord();
    if (m_modified)
        writeRow();
    else
        Cancel();
}

void Query::moveTo(int row)
{
    checkActive();
    settle();
    const int count = m_rows.rowCount();
    if (count == 0)
        return;
    row = std::clamp(row, 0, count - 1);
    if (row != m_current) {
        m_current = row;
        emit currentRowChanged(row);
    }
}

void Query::First()
{
    moveTo(0);
}

// Prior and Next count from the row that was current before a pending change
// was settled: a new row that is dropped then no longer shifts the target.
void Query::Prior()
{
    checkActive();
    const int from = m_current;
    settle();
    moveTo(from - 1);
}

void Query::Next()
{
    checkActive();
    const int from = m_current;
    settle();
    moveTo(from + 1);
}

void Query::Last()
{
    checkActive();
    settle();
    moveTo(m_rows.rowCount() - 1);
}

void Query::MoveTo(int row)
{
    moveTo(row);
}

QString Query::fieldValue(int fieldIndex) const
{
    if (m_current < 0)
        return QString();
    return cellText(m_current, m_fields[std::size_t(fieldIndex)].get());
}

bool Query::fieldIsNull(int fieldIndex) const
{
    if (m_current < 0)
        return true;
    return cellIsNull(m_current, m_fields[std::size_t(fieldIndex)].get());
}

QString Query::cellText(int row, const Field *field) const
{
    if (!Active() || row < 0 || row >= m_rows.rowCount())
        return QString();
    const int column = m_fieldColumn[std::size_t(field->Index())];
    QString text;
    if (row == m_current && editing())
        text = QString::fromUtf8(m_buffer[std::size_t(column)].text);
    else
        text = decode(m_rows.value(row, column));
    // A value that another program stored longer than the field is never
    // handed on whole.
    return cutToSize(field->Kind(), text, field->Size());
}

bool Query::cellIsNull(int row, const Field *field) const
{
    if (!Active() || row < 0 || row >= m_rows.rowCount())
        return true;
    const int column = m_fieldColumn[std::size_t(field->Index())];
    if (row == m_current && editing())
        return m_buffer[std::size_t(column)].isNull;
    return m_rows.value(row, column).isNull;
}

void Query::setFieldValue(int fieldIndex, const QString &value)
{
    checkEditing();
    const Field *field = m_fields[std::size_t(fieldIndex)].get();
    const std::size_t column = std::size_t(m_fieldColumn[std::size_t(fieldIndex)]);
    const QByteArray text = cutToSize(field->Kind(), value, field->Size()).toUtf8();
    Value &slot = m_buffer[column];
    const bool same = !slot.isNull && slot.text == text;
    slot = {text, false};
    m_assigned[column] = true;
    if (!same && !m_inNewRecord)
        m_modified = true;
    emit rowDataChanged(m_current);
}

} // namespace dataset
