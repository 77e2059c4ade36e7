// The JSON parser over arbitrary bytes; a parsed value must also survive the writer and parse again.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "content/json.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    content::Json value;
    try {
        value = content::parseJsonText(text);
    } catch (const std::runtime_error&) {
        return 0;
    }
    std::string written;
    try {
        written = content::writeJson(value);
    } catch (const std::runtime_error&) {
        return 0;  // strings with control characters cannot be written back
    }
    (void)content::parseJsonText(written);
    return 0;
}
