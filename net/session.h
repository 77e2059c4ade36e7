#pragma once
// The LAN session as the App holds it: the connection, the flags and the connect form.
#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "net/peer_link.h"
#include "net/remote_pose.h"

namespace net {

// The session's TCP connection: a listening and a peer socket (-1 when closed) and their buffers.
struct Connection {
    int listenSocket = -1;
    int peerSocket = -1;
    bool networkStarted = false;
    bool connecting = false;  // a non-blocking connect is under way
    std::vector<uint8_t> sendBuffer;
    std::vector<uint8_t> receiveBuffer;
    LinkMeter meter;
    double connectStarted = 0.0;  // link clock seconds

    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();
};

void reset(Connection& connection);

}  // namespace net

// A cell changed in the session, as the chunk index rebuild puts it back.
struct ChangedCell {
    uint8_t id = 0;
    uint8_t state = 0;
    uint8_t water = 0;
    bool operator==(const ChangedCell&) const = default;
};

// A session's changed cells by cell (x, y, z).
using ChangedCells = std::map<std::tuple<int32_t, int32_t, int32_t>, ChangedCell>;

// How the last session ended when it failed, for the connection form to tell the player.
enum class LanFailure : uint8_t { none, noConnection, refused, lost };

struct LanSession {
    std::array<uint32_t, 256> serverToLocal{};
    std::array<uint32_t, 256> localToServer{};
    net::Connection connection;
    bool host = false;
    bool started = false;
    bool networked = false;
    bool authenticated = false;
    bool ready = false;
    bool startupJoin = false;
    uint64_t contentFingerprint = 0;
    std::string roomCode;
    std::string formAddress = "127.0.0.1";
    std::string formPort = "29810";
    std::string formRoomCode;
    std::string formStatus;
    LanFailure failure = LanFailure::none;  // of the last session, until the next connect
    std::string refusal;                    // the host's reason, when it refused us
    std::string playerName = "ИГРОК";
    std::string shownName;  // as the host shows us to the others (a taken name is numbered)
    std::string identity;  // the player's network identity, read when a session starts
    std::string peerAddress;
    uint16_t peerPort = 0;
    std::filesystem::path cacheDirectory;
    // The world folder of a start with --lan-join (net/startup_folder.h); empty otherwise.
    std::filesystem::path startupFolder;
    std::map<uint32_t, RemotePose> remotePoses;
    // The session's own extra player (drawn before the map's), valid while the flag is set.
    RemotePose extraPose;
    bool hasExtraPose = false;
    std::vector<std::string> playerList;
    // Our world went to the host, or the host's came to us: the session's world is settled.
    bool worldShared = false;
    bool roomWorldArrived = false;  // the host's world is in the cache folder, to be played
    bool leftRoomWorld = false;     // the session ended under the room's world: back to the menu
    std::string notice;             // why the session ended, for the screen
    uint32_t playerId = 0;  // given by the host's welcome
    // Set while an edit is applied, so that each cell is sent once, and never back to where it came from.
    bool applyingEdit = false;
    // Local and remote edits of the session, at most net::kMaxChangedCells (net::rememberCell).
    ChangedCells changedCells;
    std::vector<net::CellEdit> pendingEdits;  // sent together at the next network step
    std::string cellsDimension;               // where the changed and pending cells lie
    double lastPoseSent = 0.0;                // link clock seconds
    net::LinkLimits limits = net::hostLinkLimits();  // tests shorten them
    // The world owner ticks the session's mobs and dropped items and sends them to the others.
    uint32_t ownerId = 0;  // as the host last said
    bool worldOwner = false;
    double lastEntitiesSent = 0.0;      // link clock seconds
    double lastItemsSent = 0.0;         // link clock seconds
    std::set<uint32_t> requestedPiles;  // asked the owner for, not yet gone from its snapshots
    // A mouse button's action began on a client; the host hears when the held actions are released.
    bool heldAction = false;
    // Cleared while a client holds an action, set again once the hands are released; the button
    // whose action is held, -1 for none.
    bool actionsReleased = true;
    int32_t heldButton = -1;

    // True where the moving things come from the owner's snapshots instead of our own world steps.
    bool entitiesFromHost() const { return networked && !host && !worldOwner; }

    LanSession() {
        for (uint32_t i = 0; i < 256; ++i) serverToLocal[i] = localToServer[i] = i;
    }
    LanSession(const LanSession&) = delete;
    LanSession& operator=(const LanSession&) = delete;
    // A session still open when the game ends leaves no cache folder behind.
    ~LanSession();
};

// The session's record of changed cells, kept beside the loaded world's edits (app/session_edits.cpp)
// that the world's own edits call down to.
namespace net {

// The changed cells a session remembers, as many as the host keeps for late joiners: a host sending
// edit after edit must not be able to grow the game's memory without end.
inline constexpr std::size_t kMaxChangedCells = 100000;

// Remembers the cell's new contents, the host's way: once `cap` cells are remembered a cell not yet
// among them is left out (its edit still shows in a loaded chunk), while the remembered ones keep
// following their edits. True when the cell is remembered.
bool rememberCell(ChangedCells& cells, int32_t x, int32_t y, int32_t z, const ChangedCell& cell,
                  std::size_t cap = kMaxChangedCells);

// The session follows the player into `dimension`: edits still waiting go out under the dimension they
// were made in, the changed cells of the dimension left behind are forgotten (they must not be put
// into this one's chunks; the host sends this one's once a pose tells it where we are), and the next
// pose goes out at once.
void followDimension(LanSession& lan, const std::string& dimension);

}  // namespace net
