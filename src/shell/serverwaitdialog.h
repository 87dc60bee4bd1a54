#pragma once

#include <QPointer>

#include "db/serverwait.h"

class QDialog;

namespace shell {

// The small box that says the program is waiting for the server, with a Cancel that
// gives up the action. It is modal to the whole program while it shows. The desk
// makes one and hands it to its server store.
class ServerWaitDialog : public db::WaitDisplay {
public:
    void show(const QString& server, const std::function<void()>& cancel) override;
    void hide() override;

private:
    QPointer<QDialog> dialog_;
};

}  // namespace shell
