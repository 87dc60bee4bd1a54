#include "desk.h"

#include "db/dberror.h"
#include "db/store.h"
#include "deskfolder.h"
#include "passwordprompt.h"
#include "serversetting.h"

namespace shell {

QString connectionText(const QString& path) {
    return QStringLiteral("provider=Microsoft.Jet.OLEDB.3.51;data source=") + path +
           QLatin1Char(';');
}

std::unique_ptr<Desk> Desk::startUp(const QString& exeFolder, MessageSink& messages,
                                    const QString& systemSetting) {
    std::unique_ptr<Desk> desk(new Desk(messages));
    desk->folder_ = shell::deskFolder(exeFolder);
    desk->data_ = shell::dataFolder(exeFolder);
    // Read before anything is opened: a setting that is wrong opens nothing. A desk that
    // the office's setting puts on the server is offered no database of its own.
    const std::optional<QString> server = serverSetting(desk->folder_, systemSetting);
    if (!server)
        offerNewDatabase(desk->folder_, messages);
    else
        keepDeskFolder(desk->folder_);
    if (server) {
        desk->store_ = db::Store::openServer(*server, askPassword, &desk->waitDisplay_);
    } else {
        // Joined as they are: a folder that already ends in a separator gives a
        // doubled one.
        desk->store_ = db::Store::openFile(
            db::Connection::dataSourceOf(connectionText(desk->dbPath())), &desk->waitDisplay_);
    }
    // A database without the program's tables would open and then fail in every window.
    desk->store_->checkTables();
    return desk;
}

}  // namespace shell
