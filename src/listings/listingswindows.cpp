#include "listingswindows.h"

#include "listingswindow.h"
#include "shell/windows.h"

namespace listings {

void defineWindows(shell::Windows& windows) {
    windows.define(QStringLiteral("Listings"), [] { return new ListingsWindow; });
}

}  // namespace listings
