#include "deskfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "db/dberror.h"
#include "db/schema.h"
#include "messages.h"

namespace shell {

namespace {

const QString kDatabase = QStringLiteral("/Pelmar.mdb");
const QString kSetting = QStringLiteral("/Pelmar.ini");

bool holdsDeskFiles(const QString& folder) {
    return QFileInfo::exists(folder + kDatabase) || QFileInfo::exists(folder + kSetting);
}

}  // namespace

QString deskFolder(const QString& exeFolder) {
    if (holdsDeskFiles(exeFolder))
        return exeFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // Without a home there is no documents folder: the executable's folder is all there is.
    if (documents.isEmpty())
        return exeFolder;
    return documents + QStringLiteral("/PelmarEntry");
}

QString dataFolder(const QString& exeFolder) {
    return QDir::cleanPath(exeFolder + QStringLiteral("/" PELMAR_DATA_FROM_BIN));
}

QString systemSettingPath(const QString& exeFolder) {
    const QString bin = QDir::cleanPath(exeFolder);
    const QString etc = bin == QLatin1String("/usr/bin")
                            ? QStringLiteral("/etc")
                            : QDir::cleanPath(bin + QStringLiteral("/../etc"));
    return etc + QStringLiteral("/pelmarentry/Pelmar.ini");
}

QString picturePath(const QString& deskFolder, const QString& dataFolder, const QString& name) {
    const QString own = deskFolder + QLatin1Char('/') + name;
    return QFileInfo::exists(own) ? own : dataFolder + QLatin1Char('/') + name;
}

void offerNewDatabase(const QString& deskFolder, MessageSink& messages) {
    if (holdsDeskFiles(deskFolder))
        return;
    const QString folder = QDir::toNativeSeparators(deskFolder);
    if (!messages.askYes(
            QStringLiteral("There is no database in the folder '%1'.\n\n"
                           "Create a new database there, with sample lookup entries (states, "
                           "street extensions, property types and publications), and start "
                           "with it?\n\nNo ends the program without creating anything.")
                .arg(folder)))
        return;
    if (!QDir().mkpath(deskFolder))
        throw db::DbError(QStringLiteral("The folder '%1' cannot be created, so there is no "
                                         "database to open. Check that you may write there.")
                              .arg(folder));
    db::schema::createDatabase(deskFolder + kDatabase, true);
}

void keepDeskFolder(const QString& deskFolder) {
    QDir().mkpath(deskFolder);
}

}  // namespace shell
