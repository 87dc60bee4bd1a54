#pragma once

#include <QDate>
#include <QString>
#include <functional>

class QWidget;

// "Master", "Back Up Database…": a checked copy of the open database file.
namespace shell {
class MessageSink;
}

namespace pelmar {

// Asks where the backup goes, given the name proposed; an empty answer cancels.
using BackupTargetChooser = std::function<QString(const QString& proposed)>;

// The name proposed for a backup made on `day`: Pelmar-YYYY-MM-DD.mdb in the desk folder.
QString proposedBackup(const QString& deskFolder, const QDate& day);

// The save dialog of the program, over `parent`.
BackupTargetChooser saveDialog(QWidget* parent);

// On a file: asks for the target, copies the database there in steps run from the
// event loop (a box with Cancel shows once it takes more than a second), checks the
// copy and says where it lies. On a server: says that the server's administrator
// backs it up, and how. Failures are told to the operator; nothing else changes.
void backUpDatabase(QWidget* parent, shell::MessageSink& messages, bool onServer,
                    const QString& dbPath, const QString& deskFolder,
                    const BackupTargetChooser& chooseTarget);

}  // namespace pelmar
