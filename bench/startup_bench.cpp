// Start-up to the main window shown and painted, in-process, against a bare
// QMainWindow with a menu bar of the same items built in the same run. The main
// frame covers the screen, so the reference is timed both at its default size and
// at the screen's size. Prints medians and their ratios.
#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <cstdio>

#include "app/pelmar.h"
#include "median.h"
#include "shell/desk.h"
#include "support/scriptedmessages.h"
#include "support/testfolder.h"

namespace {

// Shows the window and waits until it is on the screen with its first paint done.
void showAndPaint(QWidget* window) {
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        qFatal("the window was not shown");
    QCoreApplication::processEvents();
}

double startProgram(const QString& folder) {
    QElapsedTimer timer;
    timer.start();
    const std::unique_ptr<shell::Desk> desk = shell::Desk::startUp(folder, scriptedMessages());
    auto frame = std::make_unique<Pelmar>(*desk);
    showAndPaint(frame.get());
    const double ms = timer.nsecsElapsed() / 1e6;
    frame.reset();
    return ms;
}

double startReference(bool screenSized) {
    QElapsedTimer timer;
    timer.start();
    auto window = std::make_unique<QMainWindow>();
    QMenu* master = window->menuBar()->addMenu(QStringLiteral("Master"));
    for (const char* item : {"State", "Street", "Property Type", "Publication Name"})
        master->addAction(QLatin1String(item));
    for (const char* item : {"Data Entry", "Export", "Exit"})
        window->menuBar()->addAction(QLatin1String(item));
    if (screenSized)
        window->setGeometry(QApplication::primaryScreen()->geometry());
    showAndPaint(window.get());
    const double ms = timer.nsecsElapsed() / 1e6;
    window.reset();
    return ms;
}

}  // namespace

// One cold start in a fresh process, as the operator meets it: prints the time from
// the application object to the window shown.
int coldStart(const QString& which, const QString& folder) {
    const double ms =
        which == QLatin1String("program") ? startProgram(folder) : startReference(true);
    std::printf("%.4f\n", ms);
    return 0;
}

double coldMedian(const QString& which, const QString& folder, int rounds) {
    QList<double> times;
    for (int i = 0; i < rounds; ++i) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--cold"), which, folder});
        if (!child.waitForFinished(60000) || child.exitCode() != 0)
            qFatal("the cold start failed");
        const QList<QByteArray> lines = child.readAllStandardOutput().trimmed().split('\n');
        times.append(lines.last().toDouble());
    }
    return median(times);
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args.at(1) == QLatin1String("--cold"))
        return coldStart(args.at(2), args.at(3));
    TestFolder folder(TestFolder::WithSamples);
    const int rounds = 31;
    QList<double> program, small, full;
    // Warm-up: plugins, fonts and the icon load once per process.
    startProgram(folder.path());
    startReference(false);
    for (int i = 0; i < rounds; ++i) {
        program.append(startProgram(folder.path()));
        small.append(startReference(false));
        full.append(startReference(true));
    }
    const double p = median(program), s = median(small), f = median(full);
    std::printf("start-up to the main window shown (median of %d rounds)\n", rounds);
    std::printf("  program (database opened, frame shown):  %.2f ms\n", p);
    std::printf("  bare QMainWindow, screen-sized:          %.2f ms  ratio %.2f (target <= 1.5)\n",
                f, p / f);
    std::printf("  bare QMainWindow, default size:          %.2f ms  ratio %.2f\n", s, p / s);
    const int coldRounds = 15;
    const double cp = coldMedian(QStringLiteral("program"), folder.path(), coldRounds);
    const double cr = coldMedian(QStringLiteral("reference"), folder.path(), coldRounds);
    std::printf(
        "cold start in a fresh process (median of %d), from the application object to the window "
        "shown\n",
        coldRounds);
    std::printf(
        "  program %.2f ms, bare screen-sized QMainWindow %.2f ms, ratio %.2f (target <= 1.5)\n",
        cp, cr, cp / cr);
    return 0;
}
