// Lists as a sentence writes them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// "a", "a and b", "a, b and c".
template <class Text>
std::string listedInWords(const std::vector<Text>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) text += i + 1 == items.size() ? " and " : ", ";
        text += std::string_view(items[i]);
    }
    return text;
}

}  // namespace pelorin
