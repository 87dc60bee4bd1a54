#pragma once

#include <QString>
#include <optional>

namespace shell {

// The server that Pelmar.ini in the program's folder names: the key Server of the
// group [Database], a libpq connection text. Nothing when the file, the key or its
// value is absent: the program then opens Pelmar.mdb. The value is the text of its
// line after "=", as written: ";", "#", "\" and commas are part of it. Throws
// db::DbError when the file cannot be read or libpq cannot parse the value.
std::optional<QString> serverSetting(const QString& folder);

}  // namespace shell
