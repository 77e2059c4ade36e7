// Bytes from a LAN peer: frames cut off the front as the link does, each decoded, and a decoded
// message sent again must come back the same (but another version's Hello, which is read no
// further than its version).
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <variant>
#include <vector>

#include "net/protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::size_t at = 0;
    while (at < size) {
        const net::DecodedFrame frame = net::decodeFrame(data + at, size - at);
        if (frame.status != net::DecodedFrame::Outcome::Complete) break;
        const auto* hello = std::get_if<net::HelloMessage>(&frame.message);
        if (hello && hello->version != net::kProtocolVersion) {
            at += frame.consumed;
            continue;
        }
        const std::vector<uint8_t> again = net::encodeFrame(frame.message);
        if (again.size() != frame.consumed || !std::equal(again.begin(), again.end(), data + at)) std::abort();
        at += frame.consumed;
    }
    return 0;
}
