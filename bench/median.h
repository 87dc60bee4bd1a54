#pragma once

#include <QList>
#include <algorithm>

// The middle one of a benchmark's rounds: one slow round on a shared machine does not
// move it.
template <typename T>
T median(QList<T> values) {
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}
