#pragma once

#include <QString>
#include <memory>

#include "app/pelmar.h"
#include "shell/childwindow.h"
#include "shell/desk.h"
#include "shell/windows.h"

class QAction;

// The program as the operator sees it, started on a folder: start-up, then the
// main frame shown. Exit is recorded instead of ending the test process.
class AppHarness {
public:
    explicit AppHarness(const QString& folder);
    ~AppHarness();

    Pelmar& frame() { return *frame_; }
    shell::Desk& desk() { return *desk_; }
    db::Store& store() { return desk_->store(); }
    QAction* menuItem(const QString& name) const;
    // Chooses a menu item as the operator does and lets the events run.
    void choose(const QString& menuItem);

    shell::ChildWindow* window(const QString& name) const { return frame_->windows().find(name); }
    template <class T>
    T* control(const QString& window, const QString& name) const {
        shell::ChildWindow* w = this->window(window);
        return w ? w->controls().get<T>(name) : nullptr;
    }

    bool exitRequested() const { return exitRequested_; }

private:
    std::unique_ptr<shell::Desk> desk_;
    std::unique_ptr<Pelmar> frame_;
    bool exitRequested_ = false;
};
