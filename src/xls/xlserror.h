#pragma once

#include "db/failure.h"

namespace xls {

// A failure to write the workbook: the system's own text, ready to show.
class Error : public db::Failure {
public:
    using Failure::Failure;
};

}  // namespace xls
