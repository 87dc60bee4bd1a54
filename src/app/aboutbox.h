#pragma once

#include <QString>

namespace db {
class Store;
}
namespace shell {
class MessageSink;
}

// "Help", "About PelmarEntry", and what the main frame's title says of the database.
namespace pelmar {

// What the box shows, gathered by the frame that opens it.
struct AboutFacts {
    QString version;
    QString database;  // databaseInUse()
    QString deskFolder;
    QString libraries;  // Qt's and the database libraries' versions
    QString licence;
};

// What the desk works on, in the operator's words: the file's path, or the server,
// its database and the login.
QString databaseInUse(const db::Store& store, const QString& dbPath);

// The main frame's title: the banner alone on a file, the server and login added on
// a server, so that an operator sees which database the listings go to.
QString frameTitle(const QString& banner, const db::Store& store);

QString aboutText(const AboutFacts& facts);
// Shows it in the program's message box, titled "About PelmarEntry".
void showAbout(shell::MessageSink& messages, const AboutFacts& facts);

}  // namespace pelmar
