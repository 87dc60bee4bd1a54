#pragma once

#include <QString>
#include <optional>

namespace shell {

// The server that Pelmar.ini in the program's folder names: the key Server of the
// group [Database], a libpq connection text. Nothing when the file, the key or its
// value is absent: the program then opens Pelmar.mdb. Throws db::DbError when the
// file cannot be read or the value cannot be parsed.
std::optional<QString> serverSetting(const QString& folder);

}  // namespace shell
