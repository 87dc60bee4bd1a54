#include "entrywindows.h"

#include "part1.h"
#include "part2.h"
#include "part3.h"
#include "shell/windows.h"

namespace entry {

void defineWindows(shell::Windows& windows) {
    windows.define(QStringLiteral("Part1"), [] { return new Part1; });
    windows.define(QStringLiteral("Part2"), [] { return new Part2; });
    windows.define(QStringLiteral("Part3"), [] { return new Part3; });
}

const char* listingWindow(const shell::Windows& windows) {
    for (const char* step : {"Part3", "Part2"}) {
        if (windows.isOpen(QLatin1String(step)))
            return step;
    }
    return "Part1";
}

}  // namespace entry
