#pragma once

#include <vector>

#include "shell/controltable.h"

namespace entry {

// The controls of the details window, generated from the compact tables of its
// sections. Text1(0) to Text1(41), Check1(0) to Check1(18) and Combo1, Combo2.
std::vector<shell::ControlSpec> part3Controls();

constexpr int kPart3TextBoxes = 42;
constexpr int kPart3CheckBoxes = 19;
constexpr int kAdditionalDetails = 28;  // Text1(28), the several-line box

}  // namespace entry
