#include "net/peer_link.h"

#include <chrono>
#include <sstream>

#include "platform/tcp.h"

namespace net {

namespace {

// Read at most this much per turn, so that a fast peer cannot hold the caller in one call.
constexpr std::size_t kReadPerTurn = 256 * 1024;

std::string countIn(LinkMeter& meter, double now, const LinkLimits& limits, std::size_t bytes,
                    uint32_t messages) {
    if (now - meter.windowStart >= 1.0) {
        meter.windowStart = now;
        meter.messages = 0;
        meter.bytes = 0;
    }
    meter.bytes += bytes;
    meter.messages += messages;
    if (meter.messages > limits.messagesPerSecond)
        return "flood: more than " + std::to_string(limits.messagesPerSecond) + " messages in one second";
    if (meter.bytes > limits.bytesPerSecond)
        return "flood: more than " + std::to_string(limits.bytesPerSecond) + " bytes in one second";
    return "";
}

std::string sendPending(int socket, std::vector<uint8_t>& out, const LinkLimits& limits) {
    if (!out.empty()) {
        const long sent = platform::sendSome(socket, out.data(), out.size());
        if (sent < 0) return "connection lost while sending";
        out.erase(out.begin(), out.begin() + sent);
    }
    if (out.size() > limits.sendBuffer)
        return "peer does not read: more than " + std::to_string(limits.sendBuffer) +
               " bytes wait to be sent";
    return "";
}

// Reads what has arrived; returns false when the peer closed or the connection broke.
bool readArrived(int socket, std::vector<uint8_t>& in, std::size_t& received) {
    uint8_t buffer[16384];
    received = 0;
    while (received < kReadPerTurn) {
        const long got = platform::receiveSome(socket, buffer, sizeof buffer);
        if (got < 0) return false;
        if (got == 0) break;
        in.insert(in.end(), buffer, buffer + got);
        received += static_cast<std::size_t>(got);
    }
    return true;
}

std::string seconds(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

}  // namespace

double linkClock() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

LinkLimits hostLinkLimits(std::size_t roomGuests) {
    const LinkLimits guest;
    LinkLimits host = guest;
    host.messagesPerSecond = 2 * guest.messagesPerSecond * static_cast<uint32_t>(roomGuests);
    host.bytesPerSecond = 2 * guest.bytesPerSecond * roomGuests;
    return host;
}

void startMeter(LinkMeter& meter, double now) {
    meter = LinkMeter{now, now, 0, 0};
}

std::string takeMessages(std::vector<uint8_t>& in, LinkMeter& meter, double now, const LinkLimits& limits,
                         std::vector<Message>& messages) {
    std::size_t at = 0;
    std::string error;
    while (error.empty()) {
        DecodedFrame frame = decodeFrame(in.data() + at, in.size() - at);
        if (frame.status == DecodedFrame::Outcome::Incomplete) break;
        if (frame.status == DecodedFrame::Outcome::Refused) {
            error = "bad message: " + frame.error;
            break;
        }
        at += frame.consumed;
        messages.push_back(std::move(frame.message));
        error = countIn(meter, now, limits, 0, 1);
    }
    in.erase(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(at));
    return error;
}

std::string exchange(int socket, std::vector<uint8_t>& in, std::vector<uint8_t>& out, LinkMeter& meter,
                     double now, const LinkLimits& limits, std::vector<Message>& messages) {
    // Reading comes first: a peer's last words before it closes (a refusal) are still heard.
    std::size_t received = 0;
    const bool open = readArrived(socket, in, received);
    if (received > 0) meter.lastHeard = now;
    if (std::string error = countIn(meter, now, limits, received, 0); !error.empty()) return error;
    if (std::string error = takeMessages(in, meter, now, limits, messages); !error.empty()) return error;
    if (!open) return in.empty() ? kConnectionClosed : "connection closed in the middle of a message";
    if (std::string error = sendPending(socket, out, limits); !error.empty()) return error;
    if (now - meter.lastHeard > limits.silenceSeconds)
        return "silent for more than " + seconds(limits.silenceSeconds) + " seconds";
    return "";
}

}  // namespace net
