#include "servertrust.h"

#include <QRegularExpression>

namespace db {

std::optional<QString> untrustedServer(const QString& server, const QString& engineText) {
    // libpq's own texts for a server it could not verify, as of PostgreSQL 15.
    static const QRegularExpression untrusted(
        QStringLiteral("server certificate for .* does not match host name"
                       "|could not get server's host name from server certificate"
                       "|certificate verify failed"
                       "|root certificate file .* does not exist"
                       "|could not read root certificate file"
                       "|server does not support SSL, but SSL was required"));
    if (!untrusted.match(engineText).hasMatch())
        return std::nullopt;
    static const QRegularExpression lineBreak(QStringLiteral("\\s*\\n\\s*"));
    QString words = engineText.trimmed();
    words.replace(lineBreak, QStringLiteral(" "));
    return QStringLiteral(
               "The %1 did not prove that it is the office's server, so nothing was sent to "
               "it, no password either. Check that this desk has the server's certificate "
               "(~/.postgresql/root.crt, or the file that sslrootcert names in Pelmar.ini) and "
               "that host in Pelmar.ini names the server as its certificate does.\n\n"
               "The database library said: %2")
        .arg(server, words);
}

}  // namespace db
