#include "windows.h"

#include <QCloseEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "childwindow.h"
#include "failure.h"

namespace shell {

namespace {

// A child window's frame: its close box unloads the window as "Back" does.
class ChildFrame : public QMdiSubWindow {
public:
    ChildFrame()
        : QMdiSubWindow(nullptr, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                     Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
        setAttribute(Qt::WA_DeleteOnClose);
    }

protected:
    void closeEvent(QCloseEvent* event) override {
        QMdiSubWindow::closeEvent(event);
        if (event->isAccepted() && widget())
            Windows::instance().close(widget()->objectName());
    }
};

}  // namespace

Windows& Windows::instance() {
    static Windows rules;
    return rules;
}

void Windows::setFrame(QMainWindow* frame, QMdiArea* workArea) {
    frame_ = frame;
    workArea_ = workArea;
}

void Windows::define(const QString& name, Factory factory) {
    factories_.insert(name, std::move(factory));
}

ChildWindow* Windows::find(const QString& name) const {
    ChildWindow* window = open_.value(name);
    return window && !window->property("unloading").toBool() ? window : nullptr;
}

ChildWindow* Windows::open(const QString& name) {
    ChildWindow* window = find(name);
    if (!window) {
        if (!workArea_ || !factories_.contains(name))
            throw Failure(QStringLiteral("There is no window '%1'.").arg(name));
        window = factories_.value(name)();
        auto* frame = new ChildFrame;
        frame->setObjectName(name + QStringLiteral("Frame"));
        frame->setWidget(window);
        frame->setWindowTitle(window->windowTitle());
        window->applyGeometry();
        try {
            window->formLoad();
        } catch (...) {
            delete frame;
            throw;
        }
        workArea_->addSubWindow(frame);
        window->applyGeometry();  // addSubWindow places the frame by itself
        open_.insert(name, window);
        frame->show();
        workArea_->setActiveSubWindow(frame);
        if (QWidget* first = window->controls().firstFocusable())
            first->setFocus(Qt::OtherFocusReason);
    } else {
        QMdiSubWindow* frame = window->frame();
        frame->showNormal();
        frame->raise();
        workArea_->setActiveSubWindow(frame);
    }
    return window;
}

void Windows::close(const QString& name) {
    ChildWindow* window = find(name);
    if (!window)
        return;
    // The frame goes at the next turn of the event loop (an event handler of the
    // window may still be running); from now on the window counts as closed.
    window->setProperty("unloading", true);
    open_.remove(name);
    QMdiSubWindow* frame = window->frame();
    if (frame && frame->isVisible())
        frame->close();
    else if (frame)
        frame->deleteLater();
    else
        window->deleteLater();
}

void Windows::closeAll() {
    const QStringList names = open_.keys();
    for (const QString& name : names)
        close(name);
}

void Windows::reset() {
    closeAll();
    factories_.clear();
    frame_ = nullptr;
    workArea_ = nullptr;
}

}  // namespace shell
