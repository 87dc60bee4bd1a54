#include "dbconnect.h"

#include "db/dberror.h"
#include "db/schemacheck.h"
#include "deskfolder.h"
#include "passwordprompt.h"
#include "serversetting.h"
#include "serverwaitdialog.h"

namespace dbConnect {

namespace {

QString folder;
QString data;
QString dbPath;

// Never destroyed: the connection goes with the process, and a static destructor
// would run after Qt's own registry of connections is gone.
db::Connection& connection() {
    static db::Connection* conn = new db::Connection;
    return *conn;
}

}  // namespace

const QString& appFolder() {
    return folder;
}
const QString& dataFolder() {
    return data;
}
const QString& DbPath() {
    return dbPath;
}
db::Connection& Conn() {
    return connection();
}

QString connectionText(const QString& path) {
    return QStringLiteral("provider=Microsoft.Jet.OLEDB.3.51;data source=") + path +
           QLatin1Char(';');
}

void startUp(const QString& exeFolder, const QString& systemSetting) {
    folder = shell::deskFolder(exeFolder);
    data = shell::dataFolder(exeFolder);
    // Joined as they are: a folder that already ends in a separator gives a doubled one.
    dbPath = folder + QStringLiteral("/Pelmar.mdb");
    connection().close();
    // Read before anything is opened: a setting that is wrong opens nothing. A desk that
    // the office's setting puts on the server is offered no database of its own.
    const std::optional<QString> server = shell::serverSetting(folder, systemSetting);
    if (!server)
        shell::offerNewDatabase(folder);
    else
        shell::keepDeskFolder(folder);
    connection().setConnectionString(connectionText(dbPath));
    // Every wait for the server from here on is shown to the operator.
    db::setWaitDisplay(&shell::ServerWaitDialog::instance());
    if (server)
        connection().openServer(*server, shell::askPassword);
    else
        connection().open();
    // A database without the program's tables would open and then fail in every window.
    try {
        db::schema::checkTables(connection());
    } catch (const db::DbError&) {
        connection().close();
        throw;
    }
}

}  // namespace dbConnect
