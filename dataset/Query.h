#pragma once

#include "Field.h"
#include "RowStore.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

struct sqlite3_stmt;

namespace dataset {

class Connection;

// The statement text of a query, a list of lines.
class StringList
{
public:
    void Clear() { m_lines.clear(); }
    void Add(const QString &line) { m_lines.append(line); }
    int Count() const { return int(m_lines.size()); }
    QString Text() const { return m_lines.join(QLatin1Char('\n')); }

private:
    QStringList m_lines;
};

// A dataset over one statement: it fetches the whole result at Open and keeps
// it in memory, has one current row, and edits or appends one row at a time,
// writing it to the file at Post. Errors are thrown as DataSetError; the
// query's own texts read "<name>: <text>", the store's carry its text alone.
class Query : public QObject
{
    Q_OBJECT
public:
    enum class State
    {
        Inactive,
        Browse,
        Edit,
        Insert
    };

    Query(const QString &name, Connection *connection, QObject *parent = nullptr);

    QString Name() const { return objectName(); }
    const std::unique_ptr<StringList> SQL;

    Field *AddField(const FieldDef &def);
    const std::vector<std::unique_ptr<Field>> &Fields() const { return m_fields; }
    // By column name, without regard to case; nullptr when there is none.
    Field *FindField(const QString &fieldName) const;
    // As FindField, but a missing field is an error.
    Field *FieldByName(const QString &fieldName) const;

    void Open();
    // Drops the rows and any pending change. The rows' memory is kept for the
    // next Open, which frees what it does not reuse.
    void Close();
    void Edit();
    void Append();
    void Post();
    void Cancel();
    void First();
    void Prior();
    void Next();
    void Last();
    void MoveTo(int row);

    bool Active() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool editing() const { return m_state == State::Edit || m_state == State::Insert; }
    int RecordCount() const;
    bool IsEmpty() const { return rowCount() == 0; }
    // Rows shown (0 when closed) and the current row (-1 when there is none).
    int rowCount() const { return Active() ? m_rows.rowCount() : 0; }
    int currentRow() const { return m_current; }
    // True once a field of the row being edited or appended has been changed.
    bool Modified() const { return m_modified; }

    // A field's value in any row, cut to its size; the current row shows the
    // values being edited.
    QString cellText(int row, const Field *field) const;
    bool cellIsNull(int row, const Field *field) const;
    // Bytes of text held by the fetched rows.
    std::size_t loadedTextBytes() const { return m_rows.textBytes(); }

    // Called right after Append has made the new row; values assigned in it are
    // written with the row but do not count as a change of their own.
    std::function<void()> OnNewRecord;

signals:
    void stateChanged();
    void currentRowChanged(int row);
    void rowDataChanged(int row);
    void aboutToReset();
    void resetDone();
    void rowAboutToBeAppended(int row);
    void rowAppended(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    // Data-aware controls hand their pending text to their fields now.
    void updateRecord();

private:
    friend class Field;
    struct Value
    {
        QByteArray text;
        bool isNull = true;
    };

    [[noreturn]] void fail(const QString &text) const;
    void checkActive() const;
    void checkEditing() const;
    QString fieldValue(int fieldIndex) const;
    bool fieldIsNull(int fieldIndex) const;
    void setFieldValue(int fieldIndex, const QString &value);
    void load();
    void bindFields(sqlite3_stmt *stmt);
    void findRowIdentity(sqlite3_stmt *stmt);
    void fetch(sqlite3_stmt *stmt);
    void settle();
    void moveTo(int row);
    void writeRow();
    void reloadRow(long long rowid);
    void dropEdit();
    void setState(State state);

    Connection *m_connection;
    std::vector<std::unique_ptr<Field>> m_fields;
    State m_state = State::Inactive;
    RowStore m_rows;
    QStringList m_columns;          // result column names
    std::vector<int> m_fieldColumn; // per field: its result column
    // Where a posted row is written: the base table, the table column each
    // result column comes from (empty when none), and the result columns that
    // find the row again (the primary key, else every column of the table).
    QString m_table;
    QStringList m_origins;
    std::vector<int> m_identity;
    int m_current = -1;
    int m_rowBeforeInsert = -1;
    std::vector<Value> m_buffer; // per result column, while editing
    std::vector<bool> m_assigned;
    bool m_modified = false;
    bool m_inNewRecord = false;
};

} // namespace dataset
