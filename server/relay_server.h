#pragma once
// The host of a LAN session (the Quorvane Server program): it admits guests that bring the room
// code and the content fingerprint, relays their block edits to each other, keeps every changed cell
// for guests who join late, and sends each guest the poses of the others. It has no world of its own:
// it keeps the files of the first world a guest brings and hands them to the others, and
// the world owner (the earliest admitted guest still here) sends the moving things, which it relays
// to the others, and receives the others' client events. Single-threaded: one
// `step` is one poll() turn over the listening socket and every guest.
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "net/peer_link.h"
#include "net/protocol.h"
#include "server/bounded_log.h"
#include "server/room_code_gate.h"

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
// Chat lines passed on per second from each guest: far more than people type, and few enough that
// sixty-three guests talking at once cannot flood a listener.
inline constexpr uint32_t kChatLinesPerSecond = 5;

// Lines of dropped guests and notices kept in memory: the latest, however many there were.
inline constexpr std::size_t kLinesKept = 1000;

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
    std::uintmax_t logBytes = 1u << 20;  // the log's size; past it lines are only counted
    // What may wait for one guest, sent or not yet batched; a guest that falls further behind is
    // dropped, so that one slow reader never costs the server the memory of the whole room.
    std::size_t maxQueueBytes = 2u << 20;
    // Cells one guest may change in a second: a full message. Sixty-three guests at it still send
    // each other well under what a guest's game takes in a second, so that a busy room never
    // pushes the readers who keep up past their queues.
    std::size_t maxEditedCellsPerSecond = kMaxCellEdits;
    // Block ids above this are unknown to the content the server was started with; so are the
    // dimensions not named here.
    uint8_t highestBlockId = 255;
    std::set<std::string> dimensions{kOverworld};
    // A connection must have said Hello within this; at most so many may wait per address (one more
    // is closed at once), and so many in all (more stay in the accept queue). When every descriptor
    // is in use, or all those places are taken, the connection that has waited longest makes room
    // for a newcomer once it has had crowdedHelloSeconds: a game says its Hello at once, so a real
    // guest finds a place however many connections sit silent.
    double helloSeconds = 5.0;
    std::size_t maxWaitingPerAddress = 4;
    std::size_t maxWaiting = 64;
    double crowdedHelloSeconds = 1.0;
    RoomCodeRules codes;
    // Out of file descriptors with nobody waiting to make room, the server stops accepting for this
    // long instead of spinning.
    double acceptPause = 1.0;
    // Seconds of a steady clock: every time the server measures; tests run it by hand.
    std::function<double()> clock = linkClock;
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
    // The room's world, the first a guest sent; empty files until one has.
    const WorldMessage& world() const { return world_; }
    // One line per guest dropped for misbehaving, oldest first: the latest kLinesKept or more.
    const std::vector<std::string>& drops() const { return drops_; }
    uint64_t dropCount() const { return dropCount_; }
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
        RelayBudget chatBudget;
        double editWindowStart = 0.0;
        std::size_t editedCells = 0;  // in the second from editWindowStart
        // Piles this guest asked the owner for, as the owner's snapshot showed them: what the
        // owner may hand it.
        std::map<uint32_t, std::pair<uint8_t, int32_t>> askedPiles;
    };
    void acceptGuests(double now);
    // Takes the next waiting connection; false when there is none to take now.
    bool acceptOne(double now);
    bool connectionWaits() const;
    std::size_t waitingFrom(uint32_t address) const;
    std::size_t waiting() const;
    // Closes the connection that has waited longest for its Hello, once it has had
    // crowdedHelloSeconds; false when none has.
    bool makeRoom(double now);
    void serve(Guest& guest, double now);
    // Why the guest must go, or "" when it may stay.
    std::string handle(Guest& guest, Message& message);
    std::string admit(Guest& guest, const HelloMessage& hello, double now);
    // Why a Hello's player may not join, before its room code is looked at; "" when it may.
    std::string checkPlayer(const HelloMessage& hello) const;
    // Why the edits are refused, or "" when they lie within the world.
    std::string outsideWorld(const BlockEditsMessage& edits) const;
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
    // Keeps the first world a guest sends and passes it to every other guest.
    void keepWorld(const Guest& from, WorldMessage world);
    // The name as the room shows it: a name another guest already has is numbered ("NAME 2").
    std::string uniqueName(const std::string& name) const;
    // A guest's chat line to every other guest, with the sender's id and name.
    void relayChat(Guest& from, ChatMessage chat);
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
    RelayBudget snapshotBudget_, eventBudget_;
    double lastPoses_ = 0.0;
    double lastEdits_ = 0.0;
    bool playersChanged_ = false;
    std::vector<Guest> guests_;
    std::map<Cell, CellEdit> changed_;
    bool hasWorld_ = false;
    WorldMessage world_;
    std::vector<std::string> drops_;
    std::vector<std::string> notices_;
    uint64_t dropCount_ = 0;
    BoundedLog log_;
    RoomCodeGate codeGate_;
    std::map<uint32_t, std::pair<uint8_t, int32_t>> ownerPiles_;  // pile -> item id, count
    double acceptPausedUntil_ = 0.0;
    bool outOfDescriptors_ = false;
};

}  // namespace net
