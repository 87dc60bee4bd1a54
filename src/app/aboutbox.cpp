#include "aboutbox.h"

#include <QDir>

#include "db/store.h"
#include "shell/messages.h"

namespace pelmar {

QString databaseInUse(const db::Store& store, const QString& dbPath) {
    if (store.isServer())
        return QStringLiteral("the PostgreSQL %1").arg(store.serverAndLogin());
    return QStringLiteral("the file %1").arg(QDir::toNativeSeparators(dbPath));
}

QString frameTitle(const QString& banner, const db::Store& store) {
    if (!store.isServer())
        return banner;
    return banner.trimmed() + QStringLiteral(" (%1)").arg(store.serverAndLogin());
}

QString aboutText(const AboutFacts& facts) {
    return QStringLiteral(
               "PelmarEntry %1\n\n"
               "Data entry of property advertisements.\n\n"
               "Database: %2\n"
               "Desk folder: %3\n"
               "Running on %4\n\n"
               "%5")
        .arg(facts.version, facts.database, QDir::toNativeSeparators(facts.deskFolder),
             facts.libraries, facts.licence);
}

void showAbout(shell::MessageSink& messages, const AboutFacts& facts) {
    shell::Message message;
    message.text = aboutText(facts);
    message.icon = shell::Icon::Information;
    message.title = QStringLiteral("About PelmarEntry");
    messages.show(message);
}

}  // namespace pelmar
