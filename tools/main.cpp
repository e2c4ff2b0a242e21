// namecards-db: the card-file tool.
//
//   namecards-db create FILE [--demo]
//
// Exit status: 0 done, 1 the command failed, 2 usage error.

#include "CardFile.h"
#include "DemoCards.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {

const char usage[] =
    "Usage: namecards-db create FILE [--demo]\n"
    "       namecards-db --help\n"
    "\n"
    "create FILE   Create a new card file: an SQLite database with the empty card\n"
    "              table Dept. Missing folders are made. An existing FILE is never\n"
    "              touched: the command fails instead.\n"
    "--demo        Fill the new file with about thirty fictitious demo cards.\n"
    "--help, -h    Show this text.\n"
    "\n"
    "The program reads its cards from Date/crm.mdb beside its executable.\n"
    "Exit status: 0 done, 1 the command failed, 2 usage error.\n";

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

int usageError(const QString &problem)
{
    print(stderr, QStringLiteral("namecards-db: %1\n").arg(problem));
    std::fputs(usage, stderr);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments().mid(1);

    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            std::fputs(usage, stdout);
            return 0;
        }
    }
    if (arguments.isEmpty())
        return usageError(QStringLiteral("no command given"));
    if (arguments.first() != QLatin1String("create"))
        return usageError(QStringLiteral("unknown command '%1'").arg(arguments.first()));

    bool demo = false;
    QStringList files;
    bool optionsEnded = false;
    for (const QString &argument : arguments.mid(1)) {
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && argument == QLatin1String("--demo")) {
            demo = true;
        } else if (!optionsEnded && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            return usageError(QStringLiteral("unknown option '%1'").arg(argument));
        } else {
            files.append(argument);
        }
    }
    if (files.isEmpty())
        return usageError(QStringLiteral("create needs a FILE"));
    if (files.size() > 1)
        return usageError(QStringLiteral("create takes one FILE, not %1").arg(files.size()));
    if (files.first().isEmpty())
        return usageError(QStringLiteral("FILE is empty"));

    const QString &file = files.first();
    try {
        const std::vector<tools::Card> cards =
            demo ? tools::demoCards() : std::vector<tools::Card>();
        tools::createCardFile(file, cards);
        print(stdout, QStringLiteral("Created %1 with %2 cards.\n").arg(file).arg(cards.size()));
    } catch (const tools::CardFileError &error) {
        print(stderr, QStringLiteral("namecards-db: %1\n").arg(error.message()));
        return 1;
    } catch (const std::exception &error) {
        print(stderr, QStringLiteral("namecards-db: %1\n").arg(QString::fromUtf8(error.what())));
        return 1;
    }
    return 0;
}
