#include <QApplication>

#include "pelmar.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PelmarEntry"));
    return pelmar::run();
}
