#pragma once

#include "entrywindow.h"

namespace entry {

// "Data Entry Form - 2": the property's address, its type, sale or rent, and the
// agency. Submit hands the ten values on and opens the details window.
class Part2 : public EntryWindow {
    Q_OBJECT
public:
    Part2();

    void formLoad() override;

    void Text1_KeyPress(int index, int code);
    void Combo1_KeyPress(int code);
    void Combo2_KeyPress(int code);
    void Combo3_KeyPress(int code);
    void Command1_Click();
    void Command2_Click();

private:
    void CmbLoad();
};

}  // namespace entry
