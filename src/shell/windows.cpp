#include "windows.h"

#include <QCloseEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "action.h"
#include "childwindow.h"

namespace shell {

namespace {

// A child window's sub-window in the work area: its close box unloads the window as
// "Back" does.
class ChildSubWindow : public QMdiSubWindow {
public:
    explicit ChildSubWindow(bool resizable)
        : QMdiSubWindow(nullptr, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                     Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                                     (resizable ? Qt::WindowMinMaxButtonsHint : Qt::Widget)) {
        setAttribute(Qt::WA_DeleteOnClose);
    }

protected:
    void closeEvent(QCloseEvent* event) override {
        auto* window = qobject_cast<ChildWindow*>(widget());
        // The close box of a window the rules still hold: it may have work to store.
        if (window && !window->isBusy() && window->windows().find(window->objectName()) == window &&
            !window->mayClose()) {
            event->ignore();
            return;
        }
        if (window && window->isBusy())
            event->ignore();  // the rules close it once its handler has returned
        else
            QMdiSubWindow::closeEvent(event);
        if (!window || !(event->isAccepted() || window->isBusy()))
            return;
        // Only if the rules still hold this very window under its name.
        Windows& rules = window->windows();
        if (rules.find(window->objectName()) == window)
            rules.close(window->objectName());
    }
};

}  // namespace

Windows::Windows(QMainWindow* frame, QMdiArea* workArea, Desk& desk)
    : frame_(frame), workArea_(workArea), desk_(desk) {}

void Windows::define(const QString& name, Factory factory) {
    factories_.insert(name, std::move(factory));
}

ChildWindow* Windows::find(const QString& name) const {
    return open_.value(name);
}

ChildWindow* Windows::open(const QString& name, const std::function<void(ChildWindow*)>& prepare) {
    ChildWindow* window = find(name);
    if (!window) {
        if (!factories_.contains(name))
            throw Failure(QStringLiteral("There is no window '%1'.").arg(name));
        window = factories_.value(name)();
        window->rules_ = this;
        auto* subWindow = new ChildSubWindow(window->isResizable());
        subWindow->setObjectName(name + QStringLiteral("Frame"));
        subWindow->setWidget(window);
        subWindow->setWindowTitle(window->windowTitle());
        // The program's icon, not the toolkit's logo, in the child's title bar.
        subWindow->setWindowIcon(frame_->windowIcon());
        window->applyGeometry();
        try {
            if (prepare)
                prepare(window);
            window->formLoad();
        } catch (...) {
            delete subWindow;
            throw;
        }
        workArea_->addSubWindow(subWindow);
        window->applyGeometry();  // addSubWindow places the sub-window by itself
        open_.insert(name, window);
        subWindow->show();
        workArea_->setActiveSubWindow(subWindow);
        if (QWidget* first = window->controls().firstFocusable())
            first->setFocus(Qt::OtherFocusReason);
    } else {
        QMdiSubWindow* subWindow = window->subWindow();
        // A maximised window stays maximised; a minimised one comes back.
        if (subWindow->isMinimized())
            subWindow->showNormal();
        else
            subWindow->show();
        subWindow->raise();
        workArea_->setActiveSubWindow(subWindow);
    }
    return window;
}

void Windows::close(const QString& name) {
    ChildWindow* window = find(name);
    if (!window)
        return;
    // From now on the window counts as closed, and the next opening starts afresh.
    open_.remove(name);
    dispose(window);
}

void Windows::dispose(ChildWindow* window) {
    QMdiSubWindow* subWindow = window->subWindow();
    if (window->isBusy()) {
        window->closeWhenIdle_ = true;
        (subWindow ? static_cast<QWidget*>(subWindow) : window)->hide();
        return;
    }
    // Deleted at the next turn of the event loop: the signal that ran the last
    // handler may still be on its way back.
    if (subWindow && subWindow->isVisible())
        subWindow->close();
    else if (subWindow)
        subWindow->deleteLater();
    else
        window->deleteLater();
}

bool Windows::mayCloseAll() const {
    for (ChildWindow* window : open_)
        if (window && !window->isBusy() && !window->mayClose())
            return false;
    return true;
}

void Windows::closeAll() {
    const QStringList names = open_.keys();
    for (const QString& name : names)
        close(name);
}

}  // namespace shell
