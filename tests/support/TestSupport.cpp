#include "TestSupport.h"

#include "CardTable.h"

#include <QFile>
#include <QtDebug>
#include <sqlite3.h>
#include <stdexcept>

namespace testsupport {

namespace {

[[noreturn]] void fail(const QString &message)
{
    qWarning().noquote() << message;
    throw std::runtime_error(message.toStdString());
}

// An open database, closed at scope end; never creates a file.
class Database
{
public:
    explicit Database(const QString &path) : m_path(path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE,
                            nullptr) != SQLITE_OK)
            failHere(QStringLiteral("cannot open"));
        sqlite3_busy_timeout(m_db, 5000);
    }
    ~Database() { sqlite3_close_v2(m_db); }
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    sqlite3 *handle() const { return m_db; }

    [[noreturn]] void failHere(const QString &what, const QString &sql = QString()) const
    {
        const QString reason =
            m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory");
        fail(QStringLiteral("testsupport: %1 '%2'%3: %4")
                 .arg(what, m_path, sql.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(sql),
                      reason));
    }

private:
    QString m_path;
    sqlite3 *m_db = nullptr;
};

} // namespace

Card card(std::initializer_list<std::pair<QString, CardValue>> values)
{
    const std::vector<dataset::FieldDef> &columns = store::cardColumns();
    Card result(columns.size());
    for (const auto &[name, value] : values) {
        std::size_t i = 0;
        while (i < columns.size() && columns[i].fieldName.compare(name, Qt::CaseInsensitive) != 0)
            ++i;
        if (i == columns.size())
            fail(QStringLiteral("testsupport::card: no column named '%1'").arg(name));
        result[i] = value;
    }
    return result;
}

TempCardFile::TempCardFile(const std::vector<Card> &cards)
{
    if (!m_folder.isValid())
        fail(QStringLiteral("testsupport: cannot make a temporary folder: %1")
                 .arg(m_folder.errorString()));
    m_path = m_folder.filePath(QStringLiteral("Date/crm.mdb"));
    try {
        tools::createCardFile(m_path, cards);
    } catch (const tools::CardFileError &error) {
        fail(QStringLiteral("testsupport: cannot make the card file: %1").arg(error.message()));
    }
}

QList<QStringList> rows(const QString &path, const QString &sql)
{
    Database db(path);
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db.handle(), text.constData(), int(text.size()), &statement, nullptr) !=
        SQLITE_OK)
        db.failHere(QStringLiteral("cannot prepare on"), sql);
    QList<QStringList> result;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        QStringList row;
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            if (sqlite3_column_type(statement, i) == SQLITE_NULL) {
                row.append(null);
            } else {
                const auto *data =
                    reinterpret_cast<const char *>(sqlite3_column_text(statement, i));
                row.append(QString::fromUtf8(data, sqlite3_column_bytes(statement, i)));
            }
        }
        result.append(row);
    }
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE)
        db.failHere(QStringLiteral("cannot read"), sql);
    return result;
}

void exec(const QString &path, const QString &sql)
{
    Database db(path);
    if (sqlite3_exec(db.handle(), sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        db.failHere(QStringLiteral("cannot run on"), sql);
}

} // namespace testsupport
