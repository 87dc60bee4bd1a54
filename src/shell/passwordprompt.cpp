#include "passwordprompt.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>

namespace shell {

namespace {

class InputBox : public PasswordSource {
public:
    std::optional<QString> ask(const QString& server) override {
        bool ok = false;
        const QString text =
            QInputDialog::getText(QApplication::activeWindow(), QStringLiteral("PelmarEntry"),
                                  QStringLiteral("Password for the database %1:").arg(server),
                                  QLineEdit::Password, QString(), &ok);
        if (!ok)
            return std::nullopt;
        return text;
    }
};

InputBox inputBox;
PasswordSource* current = &inputBox;

}  // namespace

std::optional<QString> askPassword(const QString& server) {
    return current->ask(server);
}

PasswordSource* setPasswordSource(PasswordSource* source) {
    PasswordSource* previous = current == &inputBox ? nullptr : current;
    current = source ? source : &inputBox;
    return previous;
}

}  // namespace shell
