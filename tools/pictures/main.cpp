// Writes head1.jpg and head2.jpg into the folder given, at build time.
#include <QGuiApplication>
#include <cstdio>

#include "headerpictures.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: pelmar-pictures FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!pictures::drawHead1().save(folder + QStringLiteral("/head1.jpg"), "JPG", 90) ||
        !pictures::drawHead2().save(folder + QStringLiteral("/head2.jpg"), "JPG", 90)) {
        std::fprintf(stderr, "pelmar-pictures: cannot write the pictures into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
