#include "listingswindows.h"

#include <memory>

#include "listingswindow.h"
#include "shell/desk.h"
#include "shell/windows.h"

namespace listings {

void defineWindows(shell::Windows& windows) {
    // Kept with the window's definition, so that the folder chosen last is offered
    // again when the window is opened anew.
    auto target = std::make_shared<ExportTarget>(windows.desk().folder());
    windows.define(QStringLiteral("Listings"), [&windows, target] {
        return new ListingsWindow(windows.desk().store(), *target);
    });
}

}  // namespace listings
