#pragma once
// The host of a LAN session (the Quorvane Server program): it admits guests that bring the room
// code and the content fingerprint, relays their block edits to each other, keeps every changed cell
// for guests who join late, and sends each guest the poses of the others. It has no world of its own:
// the world owner (the earliest admitted guest still here) sends the moving things, which it relays
// to the others, and receives the others' client events. Single-threaded: one
// `step` is one poll() turn over the listening socket and every guest.
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "net/peer_link.h"
#include "net/protocol.h"

namespace net {

// Messages passed on from one guest to others in the current second, so that what the relay fans
// out can never push a well-behaved receiver past its own message limit.
struct RelayBudget {
    double windowStart = 0.0;
    uint32_t used = 0;
    // True when one more fits into the second that `now` falls in.
    bool take(double now, uint32_t perSecond);
};

// The owner's snapshots relayed, and the others' events passed to the owner, per second each:
// a busy session needs about 40 of the first and a few of the second; a guest takes 400 in all.
inline constexpr uint32_t kRelayedPerSecond = 100;
// Chat lines passed on per second, from all guests together: far more than people type, and few
// enough that sixty-three guests talking at once cannot flood a listener.
inline constexpr uint32_t kChatLinesPerSecond = 5;

// Bytes a cell takes in a BlockEdits frame: what a waiting edit will cost its receiver's queue.
inline constexpr std::size_t kCellEditBytes = 15;

struct RelayConfig {
    uint16_t port = 29810;
    std::string roomCode;
    uint64_t fingerprint = 0;
    LinkLimits limits;
    std::size_t maxGuests = kMaxPoses;
    // Cells remembered for late joiners; edits beyond it are still relayed but not remembered.
    std::size_t maxChangedCells = 100000;
    double posesInterval = 0.1;   // seconds between two pose snapshots
    double editsInterval = 0.05;  // seconds between two batches of relayed edits
    std::string logPath;          // where a dropped guest is written down ("" = nowhere)
    // What may wait for one guest, sent or not yet batched; a guest that falls further behind is
    // dropped, so that one slow reader never costs the server the memory of the whole room.
    std::size_t maxQueueBytes = 2u << 20;
    // Cells one guest may change in a second: a full message. Sixty-three guests at it still send
    // each other well under what a guest's game takes in a second, so that a busy room never
    // pushes the readers who keep up past their queues.
    std::size_t maxEditedCellsPerSecond = kMaxCellEdits;
    // Block ids above this are unknown to the content the server was started with.
    uint8_t highestBlockId = 255;
    // A connection must have said Hello within this; at most so many may wait per address.
    double helloSeconds = 5.0;
    std::size_t maxWaitingPerAddress = 4;
    // Wrong room codes an address may send before it must wait; the wait starts at wrongCodeWait
    // and doubles with each further wrong code up to maxWrongCodeWait, which makes guessing an
    // eight-digit code take centuries while a player who mistypes waits a second or two.
    uint32_t freeWrongCodes = 5;
    double wrongCodeWait = 1.0;
    double maxWrongCodeWait = 600.0;
    // Out of file descriptors, the server stops accepting for this long instead of spinning.
    double acceptPause = 1.0;
};

class RelayServer {
   public:
    // A cell of a dimension.
    using Cell = std::tuple<std::string, int32_t, int32_t, int32_t>;

    explicit RelayServer(RelayConfig config);
    ~RelayServer();
    RelayServer(const RelayServer&) = delete;
    RelayServer& operator=(const RelayServer&) = delete;

    // Listens on the address (network order, 0 = every interface) and the configured port (0 = any
    // free one); false when the port cannot be had.
    bool listen(uint32_t address);
    uint16_t port() const { return port_; }
    // Waits up to `waitMs` for traffic, then serves every guest once.
    void step(int waitMs);

    std::size_t guestCount() const;  // admitted guests
    uint32_t ownerId() const { return ownerId_; }  // 0 while no guest is admitted
    const std::map<Cell, CellEdit>& changedCells() const { return changed_; }
    // One line per guest dropped for misbehaving, oldest first.
    const std::vector<std::string>& drops() const { return drops_; }
    // Other lines worth a look: wrong-code lock-outs, refused edits and grants, accept pauses.
    const std::vector<std::string>& notices() const { return notices_; }

   private:
    struct Guest {
        int socket = -1;
        std::vector<uint8_t> in, out;
        LinkMeter meter;
        uint32_t id = 0;
        std::string name;
        std::string identity;
        bool admitted = false;
        bool closing = false;  // refused: closed once its refusal is sent
        bool hasPose = false;
        Pose pose{};
        std::string dimension = kOverworld;  // as its last pose said
        std::vector<CellEdit> pendingEdits;  // from the others in its dimension, sent with the next batch
        uint32_t address = 0;       // IPv4, network order
        double connectedAt = 0.0;
        bool editRefused = false;   // one line per guest is enough
        double editWindowStart = 0.0;
        std::size_t editedCells = 0;  // in the second from editWindowStart
        // Piles this guest asked the owner for, as the owner's snapshot showed them: what the
        // owner may hand it.
        std::map<uint32_t, std::pair<uint8_t, int32_t>> askedPiles;
    };
    // Wrong room codes from one address.
    struct CodeFailures {
        uint32_t count = 0;
        double until = 0.0;  // link clock: no Hello is heard before it
        double last = 0.0;
    };

    void acceptGuests(double now);
    void serve(Guest& guest, double now);
    // Why the guest must go, or "" when it may stay.
    std::string handle(Guest& guest, Message& message);
    std::string admit(Guest& guest, const HelloMessage& hello, double now);
    // "" when the code is right; otherwise counts it against the address and returns the refusal.
    std::string checkRoomCode(const Guest& guest, const std::string& code, double now);
    // Appends to the guest's queue; drops the guest when the queue is past its bound.
    void queue(Guest& guest, const Message& message);
    bool overQueueBound(Guest& guest);
    void dropSlowHellos(double now);
    void recordOwnerPiles(const ItemsMessage& items);
    bool grantFits(Guest& taker, const ClientEventMessage& grant);
    void note(const std::string& line);
    // Why the sender must go, or "".
    std::string relayEdits(Guest& from, const BlockEditsMessage& edits);
    // Snapshots of the moving things, relayed from the owner only.
    void relaySnapshot(const Guest& from, const Message& message);
    void routeClientEvent(Guest& from, ClientEventMessage event);
    // A guest's chat line to every other guest, with the sender's id and name.
    void relayChat(const Guest& from, ChatMessage chat);
    Guest* admittedGuest(uint32_t id);
    bool identityInRoom(const std::string& identity) const;
    void chooseOwner();
    // Every cell changed so far in the guest's dimension.
    void sendChangedCells(Guest& guest);
    void sendPendingEdits();
    void sendPoses();
    void sendPlayers();
    void drop(Guest& guest, const std::string& cause);
    void leave(Guest& guest);
    void removeClosed();

    RelayConfig config_;
    int listenSocket_ = -1;
    uint16_t port_ = 0;
    uint32_t nextId_ = 1;
    uint32_t ownerId_ = 0;
    RelayBudget snapshotBudget_, eventBudget_, chatBudget_;
    double lastPoses_ = 0.0;
    double lastEdits_ = 0.0;
    bool playersChanged_ = false;
    std::vector<Guest> guests_;
    std::map<Cell, CellEdit> changed_;
    std::vector<std::string> drops_;
    std::vector<std::string> notices_;
    std::map<uint32_t, CodeFailures> codeFailures_;
    std::map<uint32_t, std::pair<uint8_t, int32_t>> ownerPiles_;  // pile -> item id, count
    double acceptPausedUntil_ = 0.0;
    bool outOfDescriptors_ = false;
};

}  // namespace net
