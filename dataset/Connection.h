#pragma once

#include <QObject>
#include <QString>

struct sqlite3;

namespace dataset {

// A connection to one database file, described by an OLE DB style connection
// string: "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" followed by the path.
// The file is opened read-write and shared, never created, on the first Open of
// a query that uses the connection, and stays open until the connection dies.
class Connection : public QObject
{
    Q_OBJECT
public:
    explicit Connection(QObject *parent = nullptr);
    ~Connection() override;

    static QString providerName() { return QStringLiteral("Microsoft.Jet.OLEDB.4.0"); }

    QString ConnectionString;

    // Opens the file if it is not open yet; throws DataSetError with a clear text
    // naming the file when it cannot. A failed opening leaves it closed.
    void Open();
    void Close();
    bool Connected() const { return m_db != nullptr; }
    sqlite3 *handle() const { return m_db; }
    // The path of the open file (or of the file named by the connection string).
    QString databasePath() const;

private:
    sqlite3 *m_db = nullptr;
};

} // namespace dataset
