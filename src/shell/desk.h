#pragma once

#include <QString>
#include <memory>

#include "db/store.h"
#include "messages.h"
#include "serverwaitdialog.h"

namespace shell {

// What one desk works with, made once at start-up and handed to the windows through
// their window rules: where its files lie, the database it works on and where its
// messages go.
class Desk {
public:
    // Start-up: works out the desk folder for the executable's folder and opens its
    // database, or the server that the office's setting `systemSetting` or Pelmar.ini
    // in the desk folder names (asking for a password when the server wants one that
    // libpq finds nowhere). Throws
    // db::DbError when the setting cannot be read, the database cannot be opened or
    // lacks a table or column of the program. Nothing is created unless the operator
    // agrees to a new database in a desk folder that holds none, asked through
    // `messages`, which every window of the desk speaks through afterwards.
    static std::unique_ptr<Desk> startUp(const QString& exeFolder, MessageSink& messages,
                                         const QString& systemSetting = QString());

    // The desk folder (deskfolder.h): the database, Pelmar.ini and the workbook lie in
    // it, and the header pictures when it has its own.
    const QString& folder() const { return folder_; }
    // The installed data folder beside the executable: the header pictures.
    const QString& dataFolder() const { return data_; }
    // The database file, folder() followed directly by "/Pelmar.mdb".
    QString dbPath() const { return folder_ + QStringLiteral("/Pelmar.mdb"); }

    db::Store& store() { return *store_; }
    MessageSink& messages() const { return messages_; }

private:
    explicit Desk(MessageSink& messages) : messages_(messages) {}

    MessageSink& messages_;
    QString folder_;
    QString data_;
    // Shows every long wait for the server; made before the store that uses it.
    ServerWaitDialog waitDisplay_;
    std::unique_ptr<db::Store> store_;
};

// The connection text for a database path.
QString connectionText(const QString& dbPath);

}  // namespace shell
