#include "serversetting.h"

#include <QFile>
#include <QFileInfo>

#include "db/dberror.h"
#include "db/serversession.h"

namespace shell {

namespace {

// The value of `key` in `group`, exactly as written after the "=" of its line, less
// the blanks around it and one pair of double quotes around the whole. A settings
// reader would take ";" and "#" for the start of a comment, "\" for an escape and
// commas for a list, all of which a connection text or a password may hold.
std::optional<QString> rawValue(const QByteArray& content, QLatin1String group, QLatin1String key) {
    bool inGroup = false;
    std::optional<QString> value;
    QByteArray text = content;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    for (const QByteArray& rawLine : text.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inGroup =
                line.mid(1, line.size() - 2).trimmed().compare(group, Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inGroup || equals < 0 || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
            continue;
        if (line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) != 0)
            continue;
        QString found = line.mid(equals + 1).trimmed();
        if (found.size() >= 2 && found.startsWith(QLatin1Char('"')) &&
            found.endsWith(QLatin1Char('"')))
            found = found.mid(1, found.size() - 2);
        value = found;  // the last one counts, as for a settings reader
    }
    return value;
}

// The Server key of one settings file; nothing when the file or the key is absent.
std::optional<QString> serverKey(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        throw db::DbError(QStringLiteral("The settings file '%1' cannot be read.").arg(path));
    return rawValue(file.readAll(), QLatin1String("Database"), QLatin1String("Server"));
}

}  // namespace

std::optional<QString> serverSetting(const QString& folder, const QString& systemFile) {
    std::optional<QString> server;
    if (!systemFile.isEmpty())
        server = serverKey(systemFile);
    if (std::optional<QString> own = serverKey(folder + QStringLiteral("/Pelmar.ini")))
        server = own;
    if (!server || server->isEmpty())
        return std::nullopt;
    db::checkServerText(*server);
    return server;
}

}  // namespace shell
