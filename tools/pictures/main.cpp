// The program's pictures, drawn at build time:
//   pelmar-pictures FOLDER            head1.jpg and head2.jpg into the folder
//   pelmar-pictures --icon SIZE FILE  the program's icon as a PNG file of SIZE pixels
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>

#include "app/appicon.h"
#include "headerpictures.h"

namespace {

bool drawHeaders(const QString& folder) {
    return pictures::drawHead1().save(folder + QStringLiteral("/head1.jpg"), "JPG", 90) &&
           pictures::drawHead2().save(folder + QStringLiteral("/head2.jpg"), "JPG", 90);
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    bool drawn = false;
    if (args.size() == 1) {
        drawn = drawHeaders(args[0]);
    } else if (args.size() == 3 && args[0] == QLatin1String("--icon") && args[1].toInt() > 0) {
        drawn = pelmar::drawIcon(args[1].toInt()).save(args[2], "PNG");
    } else {
        std::fprintf(stderr,
                     "usage: pelmar-pictures FOLDER\n"
                     "       pelmar-pictures --icon SIZE FILE\n");
        return 2;
    }
    if (!drawn) {
        std::fprintf(stderr, "pelmar-pictures: cannot write into %s\n",
                     qUtf8Printable(args.last()));
        return 1;
    }
    return 0;
}
