#include "Connection.h"

#include "DataSetError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace dataset {

namespace {

constexpr int busyTimeoutMs = 5000;

// The value of the Provider key and the Data Source path. The path runs to the
// end of the string: it is neither quoted nor followed by anything.
struct ParsedConnectionString
{
    QString provider;
    QString path;
    bool hasPath = false;
};

ParsedConnectionString parse(const QString &text)
{
    ParsedConnectionString parsed;
    static const QString dataSource = QStringLiteral("data source=");
    const qsizetype at = text.indexOf(dataSource, 0, Qt::CaseInsensitive);
    const QString settings = at < 0 ? text : text.left(at);
    if (at >= 0) {
        parsed.path = text.mid(at + dataSource.size());
        parsed.hasPath = true;
    }
    for (const QString &pair : settings.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (pair.left(eq).trimmed().compare(QLatin1String("provider"), Qt::CaseInsensitive) == 0)
            parsed.provider = pair.mid(eq + 1).trimmed();
    }
    return parsed;
}

bool isAccessFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(32);
    return head.size() >= 19 &&
           (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB");
}

// Checks the path before SQLite sees it, so that each failure gets its own text.
void checkPath(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        throw DataSetError(QStringLiteral("'%1' is a folder, not a database file").arg(path));
    if (!info.exists()) {
        if (!info.dir().exists())
            throw DataSetError(
                QStringLiteral("Could not find the folder '%1' of the database file '%2'")
                    .arg(info.dir().path(), path));
        throw DataSetError(QStringLiteral("Could not find file '%1'").arg(path));
    }
    if (isAccessFile(path))
        throw DataSetError(
            QStringLiteral("'%1' is in the old Access format; convert it to an SQLite database "
                           "file before use")
                .arg(path));
}

} // namespace

Connection::Connection(QObject *parent) : QObject(parent) {}

Connection::~Connection()
{
    Close();
}

QString Connection::databasePath() const
{
    return parse(ConnectionString).path;
}

void Connection::Open()
{
    if (m_db)
        return;
    const ParsedConnectionString parsed = parse(ConnectionString);
    if (parsed.provider.compare(providerName(), Qt::CaseInsensitive) != 0)
        throw DataSetError(QStringLiteral("Provider cannot be found: '%1'. Only the provider '%2' "
                                          "opens the database file '%3'")
                               .arg(parsed.provider, providerName(), parsed.path));
    if (!parsed.hasPath || parsed.path.isEmpty())
        throw DataSetError(QStringLiteral("The connection string names no database file"));
    checkPath(parsed.path);

    sqlite3 *db = nullptr;
    const QByteArray file = parsed.path.toUtf8();
    int rc = sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db, busyTimeoutMs);
        // Opening is lazy: read the schema now so that a file that is not a
        // database fails here, with its name, rather than at the first statement.
        rc = sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK) {
        const QString reason = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
        const int code = db ? sqlite3_errcode(db) : rc;
        sqlite3_close_v2(db);
        if (code == SQLITE_NOTADB)
            throw DataSetError(
                QStringLiteral("'%1' is not a database file (not an SQLite database)")
                    .arg(parsed.path));
        throw DataSetError(
            QStringLiteral("Cannot open the database file '%1': %2").arg(parsed.path, reason));
    }
    m_db = db;
}

void Connection::Close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

} // namespace dataset
