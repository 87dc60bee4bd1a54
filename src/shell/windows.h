#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <functional>

class QMainWindow;
class QMdiArea;

namespace shell {

class ChildWindow;
class Desk;

// The window rules of one main frame: each window kind exists at most once and is
// addressed by its name. Opening loads a closed window (its load step runs) and then
// shows and raises it; closing unloads it, so the next opening starts afresh.
// The frame owns its rules and every window it opens reaches the others through them.
// A window is never deleted under a handler of its own that is still running
// (ChildWindow::isBusy).
class Windows {
public:
    using Factory = std::function<ChildWindow*()>;

    Windows(QMainWindow* frame, QMdiArea* workArea, Desk& desk);
    Windows(const Windows&) = delete;
    Windows& operator=(const Windows&) = delete;

    QMainWindow* frame() const { return frame_; }
    QMdiArea* workArea() const { return workArea_; }
    // The desk the frame's windows work with.
    Desk& desk() const { return desk_; }

    // Makes a window kind known; the frame does this for every window it offers.
    void define(const QString& name, Factory factory);
    bool isDefined(const QString& name) const { return factories_.contains(name); }

    // Load if closed, then show and raise. Throws when the load step fails; the
    // window is then not left half-loaded. A window that is loaded now is handed to
    // `prepare` first, before its load step: what one window hands the next.
    ChildWindow* open(const QString& name, const std::function<void(ChildWindow*)>& prepare = {});
    void close(const QString& name);
    void closeAll();
    // Asks every open window whether it may close (ChildWindow::mayClose).
    bool mayCloseAll() const;

    // The open window of that name, or nullptr.
    ChildWindow* find(const QString& name) const;
    bool isOpen(const QString& name) const { return find(name) != nullptr; }

private:
    friend class ChildWindow;
    // Takes an unloaded window off the screen and deletes it; a busy window is only
    // hidden, and comes here again once its last running handler has returned.
    void dispose(ChildWindow* window);

    QMainWindow* frame_;
    QMdiArea* workArea_;
    Desk& desk_;
    QHash<QString, Factory> factories_;
    QHash<QString, QPointer<ChildWindow>> open_;
};

}  // namespace shell
