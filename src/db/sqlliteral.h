#pragma once

#include <QString>

namespace db {

// A value as an SQL text literal: between single quotes, each quote inside doubled,
// so that O'BRIEN is stored as typed instead of ending the literal early.
QString sqlText(const QString& value);

// The same without the enclosing quotes, for statement pieces that carry their own.
QString sqlTextBody(const QString& value);

}  // namespace db
