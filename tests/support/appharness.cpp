#include "appharness.h"

#include <QAction>
#include <QApplication>
#include <QTest>

#include "scriptedmessages.h"
#include "shell/desk.h"

AppHarness::AppHarness(const QString& folder) {
    desk_ = shell::Desk::startUp(folder, scriptedMessages());
    frame_ = std::make_unique<Pelmar>(*desk_);
    frame_->setExitHandler([this] { exitRequested_ = true; });
    frame_->show();
    QApplication::setActiveWindow(frame_.get());
    if (!QTest::qWaitForWindowActive(frame_.get()))
        qWarning("the main frame did not become active");
}

AppHarness::~AppHarness() {
    frame_.reset();
    // Let the closed windows' deferred deletes run before the next case.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    desk_.reset();
}

QAction* AppHarness::menuItem(const QString& name) const {
    return frame_->findChild<QAction*>(name);
}

void AppHarness::choose(const QString& name) {
    QAction* action = menuItem(name);
    if (!action)
        qFatal("no menu item %s", qPrintable(name));
    action->trigger();
    QCoreApplication::processEvents();
}
