#pragma once
// Which room codes the server looks at. Each address has a few wrong codes, then waits longer after
// each further one; and the whole room has a budget of wrong codes that fills at a slow, steady
// rate, so that many addresses guessing in turn get no further than a few. An address that has never
// sent a wrong code is always heard, so a player who types the code right gets in at once whoever
// else is guessing. The addresses that have guessed are marked in a fixed table of bits: a crowd of
// addresses costs no memory, and each of them gets one look of its own at most.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace net {

struct RoomCodeRules {
    // Wrong codes an address may send before it must wait; the wait starts at wrongCodeWait and
    // doubles with each further wrong code up to maxWrongCodeWait, so that a player who mistypes
    // waits a second or two.
    uint32_t freeWrongCodes = 5;
    double wrongCodeWait = 1.0;
    double maxWrongCodeWait = 600.0;
    // The room's budget: at one wrong code a second, trying every eight-digit code takes three years.
    double roomWrongCodesPerSecond = 1.0;
    double roomWrongCodeBurst = 30.0;
    // Mixed into the marks of the addresses that guessed, so that nobody can choose addresses that
    // share a mark with someone else's; 0 takes a random one.
    uint64_t salt = 0;
};

inline constexpr const char* kWrongRoomCode = "Wrong room code";
inline constexpr const char* kAddressLockedOut = "Too many wrong room codes; try again later";
inline constexpr const char* kRoomGuessedOut = "Too many wrong room codes in this room; try again later";

class RoomCodeGate {
   public:
    RoomCodeGate(std::string code, RoomCodeRules rules, double now);

    struct Answer {
        std::string refusal;  // "" when the code was right
        std::string notice;   // a line for the server's log, or ""
    };
    // Looks at the code from the address, or refuses to.
    Answer check(uint32_t address, const std::string& code, double now);

   private:
    // Wrong room codes from one address.
    struct Failures {
        uint32_t count = 0;
        double until = 0.0;  // no code is looked at before it
        double last = 0.0;
    };

    bool guessed(uint32_t address) const;
    void markGuessed(uint32_t address);
    std::size_t markOf(uint32_t address) const;
    void refill(double now);
    // False when every lock-out record is in use by an address heard from within the hour.
    bool roomForFailures(double now);
    // Counts a wrong code against the address; the notice when it must now wait.
    std::string countFailure(uint32_t address, double now);

    std::string code_;
    RoomCodeRules rules_;
    std::vector<uint64_t> guessedMarks_;
    std::map<uint32_t, Failures> failures_;
    double tokens_;
    double refilledAt_;
    double sweptAt_ = -1e300;
    bool budgetSpentNoted_ = false;
};

}  // namespace net
