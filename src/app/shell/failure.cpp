#include "failure.h"

#include "db/dberror.h"
#include "messages.h"

namespace shell {

bool runAction(const std::function<void()>& action) {
    QString text;
    try {
        action();
        return true;
    } catch (const db::DbError& error) {
        text = error.text();
    } catch (const Failure& failure) {
        text = failure.text();
    } catch (const std::exception& error) {
        text = QString::fromLocal8Bit(error.what());
    }
    inform(text, Icon::Critical);
    return false;
}

}  // namespace shell
