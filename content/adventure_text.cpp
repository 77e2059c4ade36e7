#include "content/adventure_text.h"

#include <stdexcept>

namespace adventure {

std::string readText(const content::Json& object, const std::string& key, const std::string& fallback,
                     std::size_t maxLength) {
    std::string text = content::jsonStringOr(content::Json::find(object, key), fallback);
    if (text.size() > maxLength || text.find_first_of("\r\n\t") != std::string::npos) {
        throw std::runtime_error("Invalid adventure text: " + key);
    }
    return text;
}

}  // namespace adventure
