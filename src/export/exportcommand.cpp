#include "exportcommand.h"

namespace exporter {

void runExport() {}

}  // namespace exporter
