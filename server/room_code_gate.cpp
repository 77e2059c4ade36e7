#include "server/room_code_gate.h"

#include <algorithm>
#include <random>
#include <sstream>
#include <utility>

#include "platform/tcp.h"

namespace net {

namespace {

// 512 KiB of marks: five thousand guessing addresses share a mark with one other address in
// eight hundred.
constexpr std::size_t kMarkBits = std::size_t{1} << 22;
// Lock-out records kept per address; the ones quiet for an hour make room for others, and an address
// that finds no room is left to the room's budget.
constexpr std::size_t kMaxFailureRecords = 4096;
constexpr double kFailureMemorySeconds = 3600.0;
constexpr double kFailureSweepSeconds = 60.0;

uint64_t mixed(uint64_t value) {
    value ^= value >> 30;
    value *= 0xBF58476D1CE4E5B9ull;
    value ^= value >> 27;
    value *= 0x94D049BB133111EBull;
    return value ^ (value >> 31);
}

uint64_t randomSalt() {
    std::random_device device;
    return (uint64_t{device()} << 32 | device()) | 1;
}

std::string secondsText(double seconds) {
    std::ostringstream text;
    text << seconds;
    return text.str();
}

}  // namespace

RoomCodeGate::RoomCodeGate(std::string code, RoomCodeRules rules, double now)
    : code_(std::move(code)),
      rules_(rules),
      guessedMarks_(kMarkBits / 64),
      tokens_(rules.roomWrongCodeBurst),
      refilledAt_(now) {
    if (rules_.salt == 0) rules_.salt = randomSalt();
}

RoomCodeGate::Answer RoomCodeGate::check(uint32_t address, const std::string& code, double now) {
    const auto known = failures_.find(address);
    // Locked out, even the right code is not looked at: a guess here tells nothing.
    if (known != failures_.end() && now < known->second.until) return {kAddressLockedOut, ""};
    refill(now);
    if (guessed(address) && tokens_ < 1.0) {
        if (std::exchange(budgetSpentNoted_, true)) return {kRoomGuessedOut, ""};
        return {kRoomGuessedOut,
                "Wrong room codes from many addresses: addresses that sent one wait for the room's "
                "budget of " +
                    secondsText(rules_.roomWrongCodesPerSecond) + " a second"};
    }
    if (code == code_) {
        if (known != failures_.end()) failures_.erase(known);
        return {};
    }
    tokens_ = std::max(0.0, tokens_ - 1.0);
    markGuessed(address);
    return {kWrongRoomCode, countFailure(address, now)};
}

std::size_t RoomCodeGate::markOf(uint32_t address) const {
    return static_cast<std::size_t>(mixed(rules_.salt ^ address) % kMarkBits);
}

bool RoomCodeGate::guessed(uint32_t address) const {
    const std::size_t mark = markOf(address);
    return (guessedMarks_[mark / 64] >> (mark % 64) & 1) != 0;
}

void RoomCodeGate::markGuessed(uint32_t address) {
    const std::size_t mark = markOf(address);
    guessedMarks_[mark / 64] |= uint64_t{1} << (mark % 64);
}

void RoomCodeGate::refill(double now) {
    tokens_ =
        std::min(rules_.roomWrongCodeBurst, tokens_ + (now - refilledAt_) * rules_.roomWrongCodesPerSecond);
    refilledAt_ = now;
    if (tokens_ >= rules_.roomWrongCodeBurst) budgetSpentNoted_ = false;
}

bool RoomCodeGate::roomForFailures(double now) {
    if (failures_.size() < kMaxFailureRecords) return true;
    // Looked through once a minute at most: each wrong code from a crowd costs the same little.
    if (now - sweptAt_ >= kFailureSweepSeconds) {
        sweptAt_ = now;
        std::erase_if(failures_, [&](const auto& entry) {
            return entry.second.until <= now && now - entry.second.last > kFailureMemorySeconds;
        });
    }
    return failures_.size() < kMaxFailureRecords;
}

std::string RoomCodeGate::countFailure(uint32_t address, double now) {
    // Without a place of its own the address is held by the room's budget alone, as it has guessed.
    if (!failures_.contains(address) && !roomForFailures(now)) return "";
    Failures& failures = failures_[address];
    ++failures.count;
    failures.last = now;
    if (failures.count < rules_.freeWrongCodes) return "";
    const uint32_t doublings = std::min<uint32_t>(failures.count - rules_.freeWrongCodes, 30);
    const double wait =
        std::min(rules_.wrongCodeWait * static_cast<double>(1u << doublings), rules_.maxWrongCodeWait);
    failures.until = now + wait;
    return "Address " + platform::ipv4Text(address) + ": " + std::to_string(failures.count) +
           " wrong room codes, no Hello heard for " + secondsText(wait) + " s";
}

}  // namespace net
