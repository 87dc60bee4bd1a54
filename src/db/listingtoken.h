#pragma once

#include <QString>

namespace db {

class Connection;

// Whether the server holds the listing that a submit with this token stored: what
// settles a submit whose answer was lost. Throws DbError.
bool isListingStored(Connection& connection, const QString& token);

}  // namespace db
