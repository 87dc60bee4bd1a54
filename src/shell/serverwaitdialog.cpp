#include "serverwaitdialog.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "messages.h"

namespace shell {

void ServerWaitDialog::show(const QString& server, const std::function<void()>& cancel) {
    // A program without windows (a tool, a desk of a benchmark) only waits.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    hide();
    auto* dialog = new QDialog(QApplication::activeWindow());
    dialog->setObjectName(QStringLiteral("serverWait"));
    dialog->setWindowTitle(Message{}.title);
    dialog->setWindowModality(Qt::ApplicationModal);
    auto* text =
        new QLabel(QStringLiteral("The program is waiting for the %1 to answer.\n\n"
                                  "Choose Cancel to give up this action; what you typed stays in "
                                  "its windows.")
                       .arg(server),
                   dialog);
    text->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(text);
    layout->addWidget(buttons);
    // Cancel, Esc and the window's close box all give up the wait.
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    QObject::connect(dialog, &QDialog::rejected, dialog, cancel);
    dialog->setMinimumWidth(360);
    dialog_ = dialog;
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void ServerWaitDialog::hide() {
    if (!dialog_)
        return;
    // Hidden at once; deleted once the handler that may have called this is done.
    QDialog* dialog = dialog_;
    dialog_ = nullptr;
    dialog->disconnect();
    dialog->hide();
    dialog->deleteLater();
}

}  // namespace shell
