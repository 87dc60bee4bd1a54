#pragma once

#include <QString>

class QWidget;

namespace shell {

// The text of a text box, several-line box or combo box exactly as it stands: the
// blanks, non-breaking spaces and line separators the operator typed included.
QString textOf(const QWidget* control);

}  // namespace shell
