// pelmar-newdb [--samples] FILE
// Creates a new, empty database with the program's five tables; with --samples it
// adds lookup rows (states, street extensions, property types, publications) so that
// a new user can enter a listing at once. An existing file is never touched.
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "db/dberror.h"
#include "db/schema.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool samples = args.removeAll(QStringLiteral("--samples")) > 0;
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr, "usage: pelmar-newdb [--samples] FILE\n");
        return 2;
    }
    try {
        db::schema::createDatabase(args.first(), samples);
    } catch (const db::DbError& error) {
        std::fprintf(stderr, "pelmar-newdb: %s\n", qUtf8Printable(error.text()));
        return 1;
    }
    std::printf("Created %s%s\n", qUtf8Printable(args.first()),
                samples ? " with sample lookup rows" : "");
    return 0;
}
