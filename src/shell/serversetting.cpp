#include "serversetting.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "db/dberror.h"
#include "db/serversession.h"

namespace shell {

std::optional<QString> serverSetting(const QString& folder) {
    const QString path = folder + QStringLiteral("/Pelmar.ini");
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    // QSettings reads an unreadable file as an empty one: ask the file itself first.
    if (!info.isFile() || !QFile(path).open(QIODevice::ReadOnly))
        throw db::DbError(QStringLiteral("The settings file '%1' cannot be read.").arg(path));
    QSettings settings(path, QSettings::IniFormat);
    // An unquoted INI value with commas (several hosts: host=a,b) reads as a list.
    const QVariant value = settings.value(QStringLiteral("Database/Server"));
    const QString server =
        (value.typeId() == QMetaType::QStringList ? value.toStringList().join(QLatin1Char(','))
                                                  : value.toString())
            .trimmed();
    if (settings.status() != QSettings::NoError)
        throw db::DbError(QStringLiteral("The settings file '%1' is not in INI form.").arg(path));
    if (server.isEmpty())
        return std::nullopt;
    db::checkServerText(server);
    return server;
}

}  // namespace shell
