#pragma once

#include <QString>
#include <cstring>

#include "base/failure.h"

namespace xls {

// A failure to write the workbook: the system's own text, ready to show.
class Error : public base::Failure {
public:
    using Failure::Failure;
};

// The system's words for an errno value.
inline QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace xls
