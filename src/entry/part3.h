#pragma once

#include "entrywindow.h"

namespace entry {

// "Data Entry Form - 3": the sale or rent details, the property's attributes and
// features, the agents and the publication. Its Submit completes the listing,
// stores it as one row of Data and starts the next one in the first window.
class Part3 : public EntryWindow {
    Q_OBJECT
public:
    Part3();

    void formLoad() override;

    void Text1_KeyPress(int index, int code);
    void Command1_Click();
    void Command2_Click();

private:
    // Writes this window's values into elements 13 to 75 of the record.
    void captureValues();
    void startNextListing();
};

}  // namespace entry
