#pragma once

#include <QString>
#include <optional>

namespace shell {

// The server that the settings name: the key Server of the group [Database], a libpq
// connection text, in the office's file `systemFile` (for every desk of the machine;
// none when empty) and then in Pelmar.ini in the desk folder, whose key, when it has
// one, wins: an empty Server there keeps that desk on its own Pelmar.mdb. Nothing when
// neither file gives a value: the program then opens Pelmar.mdb. The value is the text
// of its line after "=", as written: ";", "#", "\" and commas are part of it. Throws
// db::DbError when a file that is there cannot be read or libpq cannot parse the value.
std::optional<QString> serverSetting(const QString& folder, const QString& systemFile = QString());

}  // namespace shell
