#pragma once
// The characters a player may show the others: in a chat line and in a name. Control characters,
// surrogates and what lies past them stand for no letter the game can draw.
#include <string>

namespace net {

bool isPrintable(char32_t c);

// Well-formed UTF-8 whose every character is printable (an empty text is).
bool isPrintableText(const std::string& utf8);

}  // namespace net
