// Fuzz target: any text typed into a tableau box. A text is read or refused
// with a reason; what is read is written as a text that reads back as the
// same exact value.
#include "fuzz/check.h"
#include "symbolic/exact_entry.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using pelorin::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const pelorin::ExactReading reading = pelorin::readExactEntry(text);
    if (!reading.value) {
        require(!reading.why.empty(), "a text refused without a reason");
        pelorin::fuzz::record("refused", reading.why);
        return 0;
    }
    const std::string written = pelorin::exactText(*reading.value);
    pelorin::fuzz::record("read", written);
    const pelorin::ExactReading back = pelorin::readExactEntry(written);
    require(back.value.has_value(), "\"" + written + "\" does not read back: " + back.why);
    require((*back.value - *reading.value).expand().is_zero(),
            "\"" + written + "\" reads back as another value");
    return 0;
}
