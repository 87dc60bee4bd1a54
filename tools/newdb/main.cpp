// pelmar-newdb [--samples] FILE
// pelmar-newdb [--samples] --server CONNINFO
// pelmar-newdb --desk ROLE --server CONNINFO
// Creates a new, empty database with the program's five tables, in a new file or in
// the server's database that a libpq connection text names; with --samples it adds
// lookup rows (states, street extensions, property types, publications) so that a
// new user can enter a listing at once. An existing file, or a server database that
// holds any of the five tables already, is never touched. With --desk it gives a
// server role the rights of an operator's desk on the tables there, and no more.
// pelmar-newdb --corrections FILE | --server CONNINFO adds the table Corrections (on
// a server with the functions that correct and delete listings) to a database made
// before it, and touches nothing else. pelmar-newdb --backup FILE TARGET copies a
// database file that desks may be writing into a checked copy.
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "db/backup.h"
#include "db/connection.h"
#include "db/corrections.h"
#include "db/dberror.h"
#include "db/schema.h"

namespace {

// Every option and form the tool takes; its manual page is checked against this text.
constexpr const char* kUsage =
    "usage: pelmar-newdb [--samples] FILE\n"
    "       pelmar-newdb [--samples] --server CONNINFO\n"
    "       pelmar-newdb --corrections FILE | --server CONNINFO\n"
    "       pelmar-newdb --desk ROLE --server CONNINFO\n"
    "       pelmar-newdb --backup FILE TARGET\n"
    "       pelmar-newdb --version | --help\n";

void warnUnindexed(const QString& refused) {
    if (!refused.isEmpty())
        std::fprintf(stderr,
                     "pelmar-newdb: the server would not add the extension pg_trgm or its "
                     "index (%s); everything else is in place, and a search in Listings "
                     "reads the whole table until the extension is installed and this is "
                     "run again with --corrections.\n",
                     qUtf8Printable(refused));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args == QStringList{QStringLiteral("--version")}) {
        std::printf("pelmar-newdb (PelmarEntry) %s\n", PELMAR_VERSION);
        return 0;
    }
    if (args == QStringList{QStringLiteral("--help")}) {
        std::printf(
            "%s\nCreates a database for PelmarEntry, on a file or a PostgreSQL "
            "server, gives a server role\nan operator's rights, or backs up a "
            "database file that desks have open.\nSee man pelmar-newdb.\n",
            kUsage);
        return 0;
    }
    if (args.size() == 3 && args.first() == QLatin1String("--backup")) {
        try {
            db::backUpFile(args.at(1), args.at(2));
        } catch (const db::DbError& error) {
            std::fprintf(stderr, "pelmar-newdb: %s\n", qUtf8Printable(error.text()));
            return 1;
        }
        std::printf("Backed up %s to %s, checked\n", qUtf8Printable(args.at(1)),
                    qUtf8Printable(args.at(2)));
        return 0;
    }
    const bool samples = args.removeAll(QStringLiteral("--samples")) > 0;
    const bool server = args.removeAll(QStringLiteral("--server")) > 0;
    const bool corrections = args.removeAll(QStringLiteral("--corrections")) > 0;
    QString desk;
    if (const qsizetype at = args.indexOf(QStringLiteral("--desk"));
        at >= 0 && at + 1 < args.size()) {
        desk = args.takeAt(at + 1);
        args.removeAt(at);
    }
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-')) ||
        (!desk.isEmpty() && (!server || samples || corrections))) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        if (!desk.isEmpty()) {
            db::schema::grantDeskRights(args.first(), desk);
            std::printf("The role %s has the rights of a desk\n", qUtf8Printable(desk));
            return 0;
        }
        if (corrections) {
            db::Connection connection;
            if (server)
                connection.openServer(args.first());
            else
                connection.openFile(args.first());
            warnUnindexed(db::schema::addCorrections(connection));
            std::printf("Corrections is in place\n");
            return 0;
        }
        if (server)
            warnUnindexed(db::schema::createServerTables(args.first(), samples));
        else
            db::schema::createDatabase(args.first(), samples);
    } catch (const db::DbError& error) {
        std::fprintf(stderr, "pelmar-newdb: %s\n", qUtf8Printable(error.text()));
        return 1;
    }
    // The connection text may hold a password: it is never printed.
    std::printf("Created %s%s\n",
                server ? "the tables on the server" : qUtf8Printable(args.first()),
                samples ? " with sample lookup rows" : "");
    return 0;
}
