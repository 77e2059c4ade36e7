#pragma once
// One framed TCP peer as both ends of a LAN session see it: reading and writing without blocking,
// cutting frames, and the limits that make a misbehaving peer one to drop.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "net/protocol.h"

namespace net {

// What `exchange` says when the peer closed between two messages: an ordinary leave.
inline constexpr const char* kConnectionClosed = "connection closed";

struct LinkLimits {
    uint32_t messagesPerSecond = kMaxMessagesPerSecond;
    std::size_t bytesPerSecond = kMaxBytesPerSecond;
    std::size_t sendBuffer = kMaxSendBuffer;
    double silenceSeconds = kSilenceSeconds;
};

// What a game accepts from the host. The host passes on what each other guest of a full room
// (`roomGuests`, the relay's cap) may send at its own limits and adds its own messages (poses, the
// player list, every changed cell of a dimension entered), which stay below one guest's share. A
// guest's second need not begin with ours, so a guest within its limits can fit two of its seconds
// into one of ours: the limits are one guest's, twice `roomGuests` times. Unsent data and silence are
// limited as for any peer.
LinkLimits hostLinkLimits(std::size_t roomGuests = kMaxPoses);

// What a peer has sent lately, against the limits.
struct LinkMeter {
    double lastHeard = 0.0;    // link clock seconds of the last byte received
    double windowStart = 0.0;  // start of the current one-second window
    uint32_t messages = 0;     // in the current window
    std::size_t bytes = 0;     // in the current window
};

// Seconds of a monotonic clock; every link time is measured with it.
double linkClock();

// Starts the meter's clocks at `now` (a fresh peer has not been silent yet).
void startMeter(LinkMeter& meter, double now);

// Cuts every complete frame off the front of `in` into `messages`. Returns why the peer must be
// dropped (a refused frame, too many messages or bytes in one second), or "" when all is well.
std::string takeMessages(std::vector<uint8_t>& in, LinkMeter& meter, double now, const LinkLimits& limits,
                         std::vector<Message>& messages);

// One non-blocking turn of a connected socket: sends what `out` holds that the socket takes, reads
// what has arrived and decodes it. Returns why the peer must be dropped ("" when all is well); the
// messages that came before a failure are still in `messages`.
std::string exchange(int socket, std::vector<uint8_t>& in, std::vector<uint8_t>& out, LinkMeter& meter,
                     double now, const LinkLimits& limits, std::vector<Message>& messages);

}  // namespace net
