#include "action.h"

#include <QScopedValueRollback>
#include <memory>

#include "childwindow.h"
#include "db/dberror.h"
#include "messages.h"

namespace shell {

bool runAction(const std::function<void()>& action) {
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
    inform(text, Icon::Critical);
    return false;
}

bool runAction(QObject* context, const std::function<void()>& action) {
    const ChildWindow::Busy busy(ChildWindow::of(context));
    return runAction(action);
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
