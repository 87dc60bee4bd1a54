#pragma once

#include <QElapsedTimer>
#include <QString>
#include <functional>

class QEventLoop;

namespace db {

// What the operator is shown while the program waits for a server's answer. The
// shell gives one at start-up; the database layer itself shows nothing.
class WaitDisplay {
public:
    virtual ~WaitDisplay() = default;
    // A wait has gone on for a while: show that the program is waiting for `server`
    // (as ServerSession::describe() names it). `cancel` is to be called when the
    // operator gives up; it may be called while show() has not returned.
    virtual void show(const QString& server, const std::function<void()>& cancel) = 0;
    virtual void hide() = 0;
};

// One wait of the program's thread for a server, as long as one statement lasts.
// The program's events go on meanwhile, so that its windows repaint and its timers
// run, but the operator's input waits until the display shows; the display is modal,
// so that nothing the operator does starts another action on the same connection.
class ServerWait {
public:
    enum Outcome { Ready, Cancelled, TimedOut };
    // What the socket is waited for: flags of these.
    enum Direction { Read = 1, Write = 2 };

    // How long a wait runs before the display shows.
    static constexpr int kShowAfterMs = 1000;

    // A quiet wait never shows the display, for the short waits that carry out a
    // Cancel the operator has already chosen.
    // `server` names the server, asked only when the display shows.
    // Without a display the waits are only not frozen.
    ServerWait(WaitDisplay* display, std::function<QString()> server, bool quiet = false);
    ~ServerWait();
    ServerWait(const ServerWait&) = delete;
    ServerWait& operator=(const ServerWait&) = delete;

    // Until the socket is ready in one of the directions, the operator cancels, or
    // timeoutMs pass (-1: no limit). A Cancelled stays so for later calls.
    Outcome forSocket(int socket, int directions, int timeoutMs = -1);
    // Stops showing the wait, as when the operator's Cancel is being carried out.
    void hide();

private:
    Outcome inLoop(int socket, int directions, int timeoutMs);
    // Whether the display is still to show once the wait has gone on long enough.
    bool stillToShow() const;

    WaitDisplay* display_;
    std::function<QString()> server_;
    QElapsedTimer started_;
    bool quiet_;
    bool shown_ = false;
    bool cancelled_ = false;
    QEventLoop* loop_ = nullptr;
};

}  // namespace db
