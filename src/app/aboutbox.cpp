#include "aboutbox.h"

#include <QDir>

#include "db/connection.h"
#include "shell/messages.h"

namespace pelmar {

namespace {

QString serverAndLogin(const db::Connection& connection) {
    const db::ServerSession& server = connection.server();
    return server.login().isEmpty()
               ? server.describe()
               : QStringLiteral("%1, login %2").arg(server.describe(), server.login());
}

}  // namespace

QString databaseInUse(const db::Connection& connection, const QString& dbPath) {
    if (connection.isServer())
        return QStringLiteral("the PostgreSQL %1").arg(serverAndLogin(connection));
    return QStringLiteral("the file %1").arg(QDir::toNativeSeparators(dbPath));
}

QString frameTitle(const QString& banner, const db::Connection& connection) {
    if (!connection.isServer())
        return banner;
    return banner.trimmed() + QStringLiteral(" (%1)").arg(serverAndLogin(connection));
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

void showAbout(const AboutFacts& facts) {
    shell::Message message;
    message.text = aboutText(facts);
    message.icon = shell::Icon::Information;
    message.title = QStringLiteral("About PelmarEntry");
    shell::showMessage(message);
}

}  // namespace pelmar
