// namecards-bench: how long a load of the card list takes and how much memory
// it holds, against reading the same rows with SQLite alone.

#include "BenchCards.h"

#include "CardStore.h"
#include "Connection.h"
#include "DataSetError.h"
#include "Query.h"

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sqlite3.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int runs = 5;

void usage()
{
    std::fprintf(stderr,
                 "usage: namecards-bench load --cards N\n"
                 "  Makes bench-N.mdb in the current folder if it is missing, then times\n"
                 "  loading its live cards through the card query against stepping the\n"
                 "  same statement with SQLite alone, and measures the memory of one load.\n"
                 "       namecards-bench load-peak --cards N\n"
                 "  One load of bench-N.mdb in this process; prints its peak resident\n"
                 "  memory in KiB, the loaded text bytes and the rows (used by load).\n");
}

// A value of /proc/self/status in KiB, such as VmHWM.
long statusKiB(const std::string &key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, key.size() + 1, key + ":") == 0)
            return std::strtol(line.c_str() + key.size() + 1, nullptr, 10);
    return -1;
}

double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double mib(double bytes)
{
    return bytes / (1024.0 * 1024.0);
}

// The card query as the program sets it up, with the base statement.
struct CardQuery
{
    explicit CardQuery(const QString &path) : query(QStringLiteral("ADOQuery1"), &connection)
    {
        connection.ConnectionString = store::connectionString(path);
        store::declareCardFields(query);
        query.SQL->Add(store::baseStatement);
    }
    dataset::Connection connection;
    dataset::Query query;
};

// Steps the statement and reads every column of every row as text, as any
// reader of the rows must; returns the rows read.
int floorLoad(sqlite3 *db)
{
    const QByteArray sql = store::baseStatement.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
        throw dataset::DataSetError(QString::fromUtf8(sqlite3_errmsg(db)));
    const int columns = sqlite3_column_count(stmt);
    int rows = 0;
    std::size_t checksum = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            const unsigned char *text = sqlite3_column_text(stmt, c);
            checksum += std::size_t(sqlite3_column_bytes(stmt, c)) + (text ? text[0] : 0);
        }
        ++rows;
    }
    sqlite3_finalize(stmt);
    // Keeps the reads from being optimised away.
    if (checksum == 1)
        std::fputc('\0', stderr);
    return rows;
}

void queryLoad(dataset::Query &query)
{
    query.Close();
    query.SQL->Clear();
    query.SQL->Add(store::baseStatement);
    query.Open();
}

int loadPeak(const QString &path)
{
    CardQuery cards(path);
    cards.query.Open();
    std::printf("%ld %zu %d\n", statusKiB("VmHWM"), cards.query.loadedTextBytes(),
                cards.query.RecordCount());
    return 0;
}

// Runs "load-peak" in a fresh process, so that its peak memory is that of one
// load and nothing else.
bool measurePeak(int cards, long &peakKiB, std::size_t &textBytes, int &rows)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return false;
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        const std::string count = std::to_string(cards);
        execl("/proc/self/exe", "namecards-bench", "load-peak", "--cards", count.c_str(),
              static_cast<char *>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    std::string output;
    char buffer[256];
    ssize_t got;
    while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, std::size_t(got));
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
           std::sscanf(output.c_str(), "%ld %zu %d", &peakKiB, &textBytes, &rows) == 3;
}

int load(int count, const QString &path)
{
    if (!QFileInfo::exists(path)) {
        std::printf("making %s\n", qPrintable(QFileInfo(path).fileName()));
        std::fflush(stdout);
        const QString partial = path + QStringLiteral(".part");
        QFile::remove(partial);
        bench::writeBenchCards(partial, count);
        if (!QFile::rename(partial, path))
            throw std::runtime_error("cannot rename the new card file");
    }

    long peakKiB = 0;
    std::size_t peakText = 0;
    int peakRows = 0;
    if (!measurePeak(count, peakKiB, peakText, peakRows)) {
        std::fprintf(stderr, "the memory measurement failed\n");
        return 1;
    }

    CardQuery cards(path);
    cards.query.Open();
    sqlite3 *db = cards.connection.handle();
    std::vector<double> floorMs;
    std::vector<double> queryMs;
    int floorRows = 0;
    for (int run = 0; run < runs; ++run) {
        auto start = std::chrono::steady_clock::now();
        floorRows = floorLoad(db);
        floorMs.push_back(msSince(start));
        start = std::chrono::steady_clock::now();
        queryLoad(cards.query);
        queryMs.push_back(msSince(start));
    }
    const int rows = cards.query.RecordCount();
    if (rows != floorRows || rows != peakRows) {
        std::fprintf(stderr, "row counts differ: query %d, floor %d, memory run %d\n", rows,
                     floorRows, peakRows);
        return 1;
    }

    const std::size_t textBytes = cards.query.loadedTextBytes();
    const double targetBytes = 1.5 * double(textBytes) + 64.0 * 1024 * 1024;
    const double floorMedian = median(floorMs);
    const double queryMedian = median(queryMs);
    std::printf("cards: %d\n", count);
    std::printf("rows loaded: %d\n", rows);
    for (int run = 0; run < runs; ++run)
        std::printf("run %d: floor %.1f ms, query %.1f ms\n", run + 1, floorMs[std::size_t(run)],
                    queryMs[std::size_t(run)]);
    std::printf("floor median: %.1f ms\n", floorMedian);
    std::printf("query median: %.1f ms\n", queryMedian);
    std::printf("query peak resident memory: %.1f MiB (VmHWM of a process that loaded once)\n",
                double(peakKiB) / 1024.0);
    std::printf("loaded text bytes: %zu (%.1f MiB)\n", textBytes, mib(double(textBytes)));
    std::printf("memory target: %.1f MiB (1.5 x text + 64 MiB)\n", mib(targetBytes));
    std::printf("load ratio: %.2f\n", queryMedian / floorMedian);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() != 3 || (args[0] != "load" && args[0] != "load-peak") || args[1] != "--cards") {
        usage();
        return 2;
    }
    char *end = nullptr;
    const long count = std::strtol(args[2].c_str(), &end, 10);
    if (*end != '\0' || count <= 0 || count > 100000000) {
        usage();
        return 2;
    }
    const QString path = QDir::current().filePath(QStringLiteral("bench-%1.mdb").arg(count));
    try {
        if (args[0] == "load-peak")
            return loadPeak(path);
        return load(int(count), path);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "namecards-bench: %s\n", error.what());
        return 1;
    }
}
