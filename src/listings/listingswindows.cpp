#include "listingswindows.h"

#include "listingswindow.h"
#include "shell/desk.h"
#include "shell/windows.h"

namespace listings {

void defineWindows(shell::Windows& windows) {
    windows.define(QStringLiteral("Listings"),
                   [&windows] { return new ListingsWindow(windows.desk().store()); });
}

}  // namespace listings
