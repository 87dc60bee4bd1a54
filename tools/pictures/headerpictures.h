#pragma once

#include <QImage>

namespace pictures {

// The header pictures of the child windows, drawn by the program's own hand:
// head1 for the windows 7700 twips wide, head2 for the wide details window.
QImage drawHead1();
QImage drawHead2();

}  // namespace pictures
