#pragma once

#include <algorithm>
#include <vector>

namespace quorvale {

// The upper median; a default value for none.
template <typename T> T median(std::vector<T> values) {
    if (values.empty()) {
        return T();
    }
    const auto middle = values.begin() + values.size() / 2;
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

} // namespace quorvale
