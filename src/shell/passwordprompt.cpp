#include "passwordprompt.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>

namespace shell {

namespace {

class InputBox : public PasswordSource {
public:
    std::optional<QString> ask(const QString& server, bool refused) override {
        bool ok = false;
        const QString question = QStringLiteral("Password for the database %1:").arg(server);
        const QString text = QInputDialog::getText(
            QApplication::activeWindow(), QStringLiteral("PelmarEntry"),
            refused ? QStringLiteral("The server did not accept that password; type it again.\n") +
                          question
                    : question,
            QLineEdit::Password, QString(), &ok);
        if (!ok)
            return std::nullopt;
        return text;
    }
};

InputBox inputBox;
PasswordSource* current = &inputBox;

}  // namespace

std::optional<QString> askPassword(const QString& server, bool refused) {
    return current->ask(server, refused);
}

PasswordSource* setPasswordSource(PasswordSource* source) {
    PasswordSource* previous = current == &inputBox ? nullptr : current;
    current = source ? source : &inputBox;
    return previous;
}

}  // namespace shell
