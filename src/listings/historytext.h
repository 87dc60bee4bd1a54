#pragma once

#include <QList>
#include <QString>

#include "db/store.h"

namespace listings {

// A listing's corrections as the operator reads them: when, who, and which values
// changed from what to what, oldest first; or that there are none.
QString historyText(const QList<db::Store::Correction>& corrections);

}  // namespace listings
