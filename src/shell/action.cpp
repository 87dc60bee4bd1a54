#include "action.h"

#include <QScopedValueRollback>
#include <memory>

#include "childwindow.h"
#include "db/dberror.h"
#include "desk.h"
#include "messages.h"

namespace shell {

bool runAction(MessageSink& messages, const std::function<void()>& action) {
    QString text;
    try {
        action();
        return true;
    } catch (const db::Cancelled&) {
        // The operator's own choice, made in the wait's box: nothing more to say.
        return false;
    } catch (const base::Failure& failure) {
        text = failure.text();
    } catch (const std::exception& error) {
        text = QString::fromUtf8(error.what());
    } catch (...) {
        // Nothing may escape into the event loop: Qt cannot carry an exception through
        // it, and the program would end with every open window's typing.
        text = QStringLiteral("The action failed for a reason the program does not know.");
    }
    messages.inform(text, Icon::Critical);
    return false;
}

bool runAction(QObject* context, const std::function<void()>& action) {
    ChildWindow* window = ChildWindow::of(context);
    const ChildWindow::Busy busy(window);
    if (window && window->hasDesk())
        return runAction(window->desk().messages(), action);
    // A window not (or no longer) under the window rules: the screen's own boxes.
    ScreenMessages screen;
    return runAction(screen, action);
}

std::function<void()> guarded(QObject* context, std::function<void()> action) {
    auto running = std::make_shared<bool>(false);
    return [context, running, action = std::move(action)] {
        if (*running)
            return;
        const QScopedValueRollback<bool> once(*running, true);
        runAction(context, action);
    };
}

}  // namespace shell
