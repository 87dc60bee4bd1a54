#include "serverwait.h"

#include <poll.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <optional>

namespace db {

namespace {

// Only the program's own thread has windows to keep alive; a helper thread of a
// tool or test waits as libpq itself would.
bool onProgramThread() {
    const QCoreApplication* application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

ServerWait::Outcome pollSocket(int socket, int directions, int timeoutMs) {
    pollfd watched{socket,
                   short((directions & ServerWait::Read ? POLLIN : 0) |
                         (directions & ServerWait::Write ? POLLOUT : 0)),
                   0};
    int ready = 0;
    do {
        ready = ::poll(&watched, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    return ready == 0 ? ServerWait::TimedOut : ServerWait::Ready;
}

}  // namespace

ServerWait::ServerWait(WaitDisplay* display, std::function<QString()> server, bool quiet)
    : display_(display), server_(std::move(server)), quiet_(quiet) {
    started_.start();
}

ServerWait::~ServerWait() {
    hide();
}

void ServerWait::hide() {
    if (std::exchange(shown_, false) && display_)
        display_->hide();
}

bool ServerWait::stillToShow() const {
    return !quiet_ && !shown_ && display_;
}

ServerWait::Outcome ServerWait::forSocket(int socket, int directions, int timeoutMs) {
    if (cancelled_)
        return Cancelled;
    if (!onProgramThread())
        return pollSocket(socket, directions, timeoutMs);
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        const int left =
            timeoutMs < 0 ? -1 : int(std::max<qint64>(0, timeoutMs - waited.elapsed()));
        const Outcome outcome = inLoop(socket, directions, left);
        if (outcome != TimedOut || (timeoutMs >= 0 && waited.elapsed() >= timeoutMs))
            return outcome;
        if (stillToShow() && started_.elapsed() >= kShowAfterMs) {
            shown_ = true;
            display_->show(server_(), [this] {
                cancelled_ = true;
                if (loop_)
                    loop_->quit();
            });
            if (cancelled_)
                return Cancelled;
        }
    }
}

ServerWait::Outcome ServerWait::inLoop(int socket, int directions, int timeoutMs) {
    QEventLoop loop;
    bool ready = false;
    const auto wake = [&loop, &ready] {
        ready = true;
        loop.quit();
    };
    std::optional<QSocketNotifier> readable, writable;
    if (directions & Read) {
        readable.emplace(qintptr(socket), QSocketNotifier::Read);
        QObject::connect(&*readable, &QSocketNotifier::activated, &loop, wake);
    }
    if (directions & Write) {
        writable.emplace(qintptr(socket), QSocketNotifier::Write);
        QObject::connect(&*writable, &QSocketNotifier::activated, &loop, wake);
    }
    // Wakes to show the display once the wait has gone on long enough.
    int wait = timeoutMs;
    if (stillToShow()) {
        const int untilShown = int(std::max<qint64>(0, kShowAfterMs - started_.elapsed()));
        wait = wait < 0 ? untilShown : std::min(wait, untilShown);
    }
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (wait >= 0)
        timer.start(wait);
    loop_ = &loop;
    // Before the display shows, a click or a key waits in the queue: it must not
    // start another action while this one has its statement on the way.
    loop.exec(shown_ ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    loop_ = nullptr;
    if (cancelled_)
        return Cancelled;
    return ready ? Ready : TimedOut;
}

}  // namespace db
