// The library's systems as the boxes hold their texts.
#include "problem/system_library.h"

namespace pelorin {

std::vector<std::string> boxTexts(const ComponentTexts& texts, std::size_t count) {
    return {texts.begin(), texts.begin() + static_cast<std::ptrdiff_t>(count)};
}

}  // namespace pelorin
