#include "failure.h"

#include "messages.h"

namespace shell {

bool runAction(const std::function<void()>& action) {
    QString text;
    try {
        action();
        return true;
    } catch (const db::Failure& failure) {
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

}  // namespace shell
