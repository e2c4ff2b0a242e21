#include "CardFile.h"

#include "CardTable.h"
#include "TextSize.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringList>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace tools {

namespace {

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

[[noreturn]] void fail(const QString &message)
{
    throw CardFileError(message);
}

QString alreadyExists(const QString &path)
{
    return QStringLiteral("'%1' already exists; it was left as it is").arg(path);
}

// An existing entry at path, a link that leads nowhere included.
bool entryExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// Makes an empty file with a new name in folder, beside the target; returns
// its path.
QString makeTemporaryFile(const QString &folder, const QString &fileName)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name =
            QStringLiteral("%1/.%2.%3.tmp")
                .arg(folder, fileName)
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        const int fd = ::open(QFile::encodeName(name).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        if (errno != EEXIST)
            fail(QStringLiteral("Cannot create a file in the folder '%1': %2")
                     .arg(folder, systemError(errno)));
    }
    fail(QStringLiteral("Cannot find a free temporary name in the folder '%1'").arg(folder));
}

// Removes the temporary file (and a journal SQLite may have left) unless the
// file has been moved into place.
class TemporaryFileGuard
{
public:
    explicit TemporaryFileGuard(QString path) : m_path(std::move(path)) {}
    ~TemporaryFileGuard()
    {
        if (m_path.isEmpty())
            return;
        QFile::remove(m_path + QStringLiteral("-journal"));
        QFile::remove(m_path);
    }
    TemporaryFileGuard(const TemporaryFileGuard &) = delete;
    TemporaryFileGuard &operator=(const TemporaryFileGuard &) = delete;
    void release() { m_path.clear(); }

private:
    QString m_path;
};

class Database
{
public:
    explicit Database(const QString &path) : m_path(path)
    {
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db,
                                       SQLITE_OPEN_READWRITE, nullptr);
        if (rc != SQLITE_OK) {
            const QString reason = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                                        : QString::fromUtf8(sqlite3_errstr(rc));
            sqlite3_close_v2(m_db);
            m_db = nullptr;
            fail(QStringLiteral("Cannot open '%1': %2").arg(path, reason));
        }
    }
    ~Database()
    {
        if (m_insert)
            sqlite3_finalize(m_insert);
        if (m_db)
            sqlite3_close_v2(m_db);
    }
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    void exec(const QString &sql)
    {
        char *message = nullptr;
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
            const QString reason = QString::fromUtf8(message ? message : sqlite3_errmsg(m_db));
            sqlite3_free(message);
            fail(QStringLiteral("Cannot write '%1': %2").arg(m_path, reason));
        }
    }

    void insertAll(const std::vector<Card> &cards)
    {
        QStringList names;
        QStringList parameters;
        for (const dataset::FieldDef &column : store::cardColumns()) {
            names.append(column.fieldName);
            parameters.append(QStringLiteral("?"));
        }
        const QByteArray sql =
            QStringLiteral("INSERT INTO Dept (%1) VALUES (%2)")
                .arg(names.join(QStringLiteral(", ")), parameters.join(QStringLiteral(", ")))
                .toUtf8();
        check(sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &m_insert, nullptr));
        for (const Card &card : cards) {
            for (std::size_t i = 0; i < card.size(); ++i) {
                const int index = int(i) + 1;
                if (!card[i]) {
                    check(sqlite3_bind_null(m_insert, index));
                    continue;
                }
                const QByteArray text = card[i]->toUtf8();
                check(sqlite3_bind_text(m_insert, index, text.constData(), int(text.size()),
                                        SQLITE_TRANSIENT));
            }
            if (sqlite3_step(m_insert) != SQLITE_DONE)
                check(sqlite3_errcode(m_db));
            check(sqlite3_reset(m_insert));
        }
        sqlite3_finalize(m_insert);
        m_insert = nullptr;
    }

    void close()
    {
        const int rc = sqlite3_close(m_db);
        if (rc != SQLITE_OK)
            fail(QStringLiteral("Cannot close '%1': %2")
                     .arg(m_path, QString::fromUtf8(sqlite3_errstr(rc))));
        m_db = nullptr;
    }

private:
    void check(int rc)
    {
        if (rc != SQLITE_OK)
            fail(QStringLiteral("Cannot write '%1': %2")
                     .arg(m_path, QString::fromUtf8(sqlite3_errmsg(m_db))));
    }

    QString m_path;
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_insert = nullptr;
};

// Moves from to to unless to exists, in one step where the file system allows.
void moveIntoPlace(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return;
    int error = errno;
    if (error == EINVAL || error == ENOSYS || error == ENOTSUP) {
        // No RENAME_NOREPLACE here: a hard link never replaces either.
        if (::link(source.constData(), target.constData()) == 0) {
            ::unlink(source.constData());
            return;
        }
        error = errno;
    }
    if (error == EEXIST)
        fail(alreadyExists(to));
    fail(QStringLiteral("Cannot move the new card file into place as '%1': %2")
             .arg(to, systemError(error)));
}

void syncFolder(const QString &folder)
{
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

QString cardFault(const Card &card)
{
    const std::vector<dataset::FieldDef> &columns = store::cardColumns();
    if (card.size() != columns.size())
        return QStringLiteral("it has %1 values instead of %2")
            .arg(card.size())
            .arg(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (!card[i])
            continue;
        const dataset::FieldDef &column = columns[i];
        const int size = dataset::textSize(column.kind, *card[i]);
        if (size > column.size) {
            const QString unit = column.kind == dataset::TextKind::Wide
                                     ? QStringLiteral("UTF-16 units")
                                     : QStringLiteral("GB18030 bytes");
            return QStringLiteral("%1 \"%2\" is %3 %4 long; the column holds %5")
                .arg(column.fieldName, *card[i])
                .arg(size)
                .arg(unit)
                .arg(column.size);
        }
    }
    return QString();
}

void createCardFile(const QString &path, const std::vector<Card> &cards)
{
    for (std::size_t i = 0; i < cards.size(); ++i) {
        const QString fault = cardFault(cards[i]);
        if (!fault.isEmpty())
            fail(QStringLiteral("Card %1 of %2 does not fit table Dept: %3")
                     .arg(i + 1)
                     .arg(cards.size())
                     .arg(fault));
    }

    const QFileInfo info(path);
    if (path.isEmpty() || info.fileName().isEmpty())
        fail(QStringLiteral("'%1' names no file").arg(path));
    if (entryExists(path))
        fail(alreadyExists(path));
    const QString folder = info.absolutePath();
    if (!QDir().mkpath(folder))
        fail(QStringLiteral("Cannot create the folder '%1'").arg(folder));

    const QString temporary = makeTemporaryFile(folder, info.fileName());
    TemporaryFileGuard guard(temporary);
    {
        Database db(temporary);
        db.exec(QStringLiteral("BEGIN"));
        db.exec(store::createTableStatement());
        db.insertAll(cards);
        db.exec(QStringLiteral("COMMIT"));
        db.close();
    }
    moveIntoPlace(temporary, info.absoluteFilePath());
    guard.release();
    syncFolder(folder);
}

} // namespace tools
