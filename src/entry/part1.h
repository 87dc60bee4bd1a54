#pragma once

#include "entrywindow.h"

namespace entry {

// "Data Entry Form-1": where the advertisement was published (state, publication,
// date). Submit hands the three values on and opens the address window.
class Part1 : public EntryWindow {
    Q_OBJECT
public:
    Part1();

    void formLoad() override;

    void Combo1_Click();
    void Combo1_KeyPress(int code);
    void Combo2_KeyPress(int code);
    void Text1_KeyPress(int code);
    void Command1_Click();
    void Command2_Click();

private:
    bool enterPressed_ = false;
};

}  // namespace entry
