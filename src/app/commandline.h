#pragma once

#include <optional>

// What the program's command line asks for, answered before any window, and so any
// display, is needed.
namespace pelmar {

// --version and --help print and give 0; any other argument prints the usage and
// gives 2. Nothing when there are no arguments: the program is to start.
std::optional<int> answerCommandLine(int argc, char** argv);

// While it lives, a failure to reach a display ends the program with one sentence of
// its own and status 1, rather than Qt's words and an abort. What Qt says meanwhile
// is held back, and passed on when the guard goes, the display reached.
class DisplayGuard {
public:
    DisplayGuard();
    ~DisplayGuard();
    DisplayGuard(const DisplayGuard&) = delete;
    DisplayGuard& operator=(const DisplayGuard&) = delete;
};

}  // namespace pelmar
