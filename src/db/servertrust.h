#pragma once

#include <QString>
#include <optional>

namespace db {

// The operator's message for a connect that failed because the server did not prove
// that it is the one the connection text names (sslmode=verify-full or verify-ca:
// no certificate to check it against, a certificate of another name or issuer, or a
// listener that declined TLS): libpq stops before it sends anything, the password
// included. Nothing when libpq's text tells of another failure. `server` is what
// messages name it by; the engine's words follow ours.
std::optional<QString> untrustedServer(const QString& server, const QString& engineText);

}  // namespace db
