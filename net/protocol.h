#pragma once
// The LAN protocol between the game (a guest) and the Quorvane Server program (the host).
//
// Version 4. Every message travels in one frame over TCP, a 12-byte header and the payload:
//
//     "QR61" | u32 message type (1..26) | u32 payload length (at most 1 MiB) | payload
//
// All integers and floats are little-endian; floats are IEEE-754 (f32 / f64) and must be finite;
// a text is a count (u8 or u16, as listed) followed by that many UTF-8 bytes. A frame with another
// magic, a type or a length out of range is refused as soon as its header is there; a payload
// shorter than its type needs ("Incomplete network packet") or longer, a type this version does not
// use, a count above its limit or a text longer than its limit is refused too, and the peer that
// sent it is dropped.
//
//  type  name          sender  payload
//   1    Hello         guest   u16 version, u64 content fingerprint, u8+room code (<= 32),
//                              u8+player name (<= 64), u8+network identity (<= 64)
//   2    Welcome       host    u32 player id given to the guest
//   3    Refusal       host    u16+reason (<= 256); the host closes the connection after it
//   4    BlockEdits    both    u8+dimension id (<= 64), u16 count (<= 2048), then per cell i32 x,
//                              i32 y, i32 z, u8 id, u8 state, u8 water level
//   5    LocalPose     guest   7 f32: x, eye y, z, yaw, pitch, walk amount, walk phase;
//                              u8+dimension id (<= 64)
//   6    Poses         host    u16 count (<= 64), then per player u32 id, the 7 f32 of its pose and
//                              u8+dimension id (<= 64)
//   7    Mobs          both    u16 count (<= 256), then per mob u32 id, u32 kind, f64 x, y, z,
//                              f64 yaw, f64 walk phase, i32 health
//   8    Npcs          both    u16 count (<= 128), then per NPC u8+id (<= 100), f64 x, y, z (feet)
//   9    Arrows        both    u16 count (<= 512), then per arrow f64 x, y, z, f64 facing x, y, z
//  10    Items         both    u16 count (<= 512), then per pile u8 id, f32 x, y, z, f32 spin, i32 count,
//                              u32 pile id
//  11    ClientEvent   both    u32 event number, u32 player id, u32 subject, i32 amount
//  12    Players       host    u16 count (<= 64), then per player u32 id and u8+name (<= 64)
//  13    Owner         host    u32 player id of the world owner (0: none)
//  14    Chat          both    u32 player id, u8+player name (<= 64), u16+text (<= 192); a guest
//                              sends id 0 and no name, the host fills in the sender's
//  15    World         both    u32+world file (<= 4096), u32+generation profile (<= 512 KiB)
//
// Types 16..26 are reserved for later versions; this one refuses them.
//
// A session: the guest connects and sends Hello within a few seconds. A Hello of another version is
// read no further than its version, whatever that version changed, and refused with a line naming
// both versions. The host answers Refusal, whose reason the guest's game writes to its
// network_error.txt (other version; a player name that is empty or holds a character a chat line
// may not; no network identity; a wrong room code, or an address or a room that has had too many;
// other content; the same identity already in the room; a full room) or Welcome followed by Owner,
// the room's World when the host has one, BlockEdits holding every cell changed so far in the
// overworld, then Players. A player name already in the room is numbered ("NAME 2") in Players and Chat. From then on the
// guest sends LocalPose five times a second, the cells it changed in each frame as BlockEdits,
// ClientEvent for client events and Chat for each line its player says, which the host passes on to
// every other guest (at most kChatLinesPerSecond lines a second from each). The host gathers each
// guest's edits for the others and sends them twenty times a second, and Poses (the other players)
// ten times a second, which also keeps a quiet session alive. Batching keeps both directions far
// below the message limit however many cells change.
//
// The room's world: a guest playing a world of its own sends it as World once it is let in; the host
// keeps the first World of the session and sends it to every other guest, now and as they join. A
// guest that receives it plays it from its network cache, not from its saves.
//
// Dimensions: every edit and pose names its dimension. The host passes an edit on only to the guests
// whose last pose is in that dimension, keeps the changed cells per dimension, and sends a guest
// whose pose names another dimension than before every cell changed there so far; a guest applies
// only the edits of the dimension it is in, and shows only the players of that dimension.
//
// The world's moving things: the first admitted guest is the world owner; when it leaves, the
// earliest admitted guest still there becomes owner, and the host sends Owner to every guest each
// time that changes. The owner ticks its mobs and dropped items as in single play and sends Mobs,
// Npcs and Arrows ten times a second and Items five times a second; the host relays them to the
// other guests, whose lists they replace whole. The same messages from a guest that is not the
// owner are ignored (not relayed, not dropped: they carry nothing the others need). A non-owner's
// ClientEvent goes to the owner with the player id set to the sender's; the owner's ClientEvent
// goes to the guest its player id names. Events: kEventHitMob (subject mob id, amount damage),
// kEventTakePile (subject pile id), kEventPileGiven (owner to taker: subject item id, amount
// count), kEventDropItem (a non-owner's own drop, such as a block it dug: subject item id, amount
// count, at most a stack; the owner drops it at the guest's feet), kEventReleaseHeld (no fields), kEventScreenClosed (subject the screen id of the window
// a guest closed over play, 0 for the inventory; no guest holds anything of the owner's open yet,
// so the owner only hears it). The host passes on at most 100 snapshots and 100 events to the owner
// a second and ignores the rest, so that no guest is pushed past its own message limit.
//
// The host refuses an edit outside the world (not relayed, not kept): a block id or a dimension its
// content does not define, a height outside the column, a water level above full or a state byte
// with bits no cell holds; and an owner's kEventPileGiven that gives a guest more than a pile it
// asked for held. The owner applies a guest's kEventHitMob only from within melee reach of the
// guest's last pose and up to the strongest weapon's blow.
//
// Either side drops a peer that sends a refused frame, more than its frames or bytes for one second,
// lets its unsent data grow past kMaxSendBuffer, stays silent for kSilenceSeconds, or closes in the
// middle of a frame. A guest may send kMaxMessagesPerSecond frames and kMaxBytesPerSecond bytes in a
// second; the host passes on what a full room of guests sends, so a guest takes that much from the
// host (hostLinkLimits in net/peer_link.h). Both ends remember at most 100,000 changed cells: past
// that a new cell's edit is still applied and passed on, but not remembered.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace net {

// Raised whenever a message or a limit changes, so that peers of different builds part at the Hello.
inline constexpr uint16_t kProtocolVersion = 5;
inline constexpr char kFrameMagic[4] = {'Q', 'R', '6', '1'};
inline constexpr std::size_t kFrameHeader = 12;
inline constexpr uint32_t kMaxPayload = 1u << 20;
inline constexpr uint32_t kFirstMessageType = 1;
inline constexpr uint32_t kLastMessageType = 26;
inline constexpr std::size_t kMaxIdentity = 64;
inline constexpr std::size_t kMaxChatText = 192;
inline constexpr std::size_t kMaxDimensionId = 64;
inline constexpr const char* kOverworld = "core:overworld";
inline constexpr std::size_t kMaxRoomCode = 32;
inline constexpr std::size_t kMaxPlayerName = 64;
inline constexpr std::size_t kMaxReason = 256;
inline constexpr std::size_t kMaxNpcId = 100;
inline constexpr std::size_t kMaxCellEdits = 2048;
inline constexpr std::size_t kMaxPoses = 64;
inline constexpr std::size_t kMaxMobs = 256;
inline constexpr std::size_t kMaxNpcs = 128;
inline constexpr std::size_t kMaxArrows = 512;  // the whole list a world may hold
inline constexpr std::size_t kMaxItems = 512;
inline constexpr std::size_t kMaxPlayers = 64;
inline constexpr std::size_t kMaxWorldFile = 4096;
inline constexpr std::size_t kMaxGenerationFile = 512u << 10;

inline constexpr uint32_t kMaxMessagesPerSecond = 400;
inline constexpr uint32_t kMaxBytesPerSecond = 4u << 20;
inline constexpr std::size_t kMaxSendBuffer = 8u << 20;
inline constexpr double kSilenceSeconds = 15.0;

inline constexpr uint32_t kEventHitMob = 1;
inline constexpr uint32_t kEventTakePile = 2;
inline constexpr uint32_t kEventPileGiven = 3;
inline constexpr uint32_t kEventDropItem = 4;
inline constexpr uint32_t kEventReleaseHeld = 11;
inline constexpr uint32_t kEventScreenClosed = 12;

enum class MessageType : uint32_t {
    Hello = 1,
    Welcome,
    Refusal,
    BlockEdits,
    LocalPose,
    Poses,
    Mobs,
    Npcs,
    Arrows,
    Items,
    ClientEvent,
    Players,
    Owner,
    Chat,
    World,
};

using Pose = std::array<float, 7>;

struct HelloMessage {
    uint16_t version = kProtocolVersion;
    uint64_t fingerprint = 0;
    std::string roomCode;
    std::string name;
    std::string identity;  // the player's network identity, the same in every session
};
struct WelcomeMessage {
    uint32_t playerId = 0;
};
struct RefusalMessage {
    std::string reason;
};
struct CellEdit {
    int32_t x = 0, y = 0, z = 0;
    uint8_t id = 0, state = 0, water = 0;
};
struct BlockEditsMessage {
    std::vector<CellEdit> cells;
    std::string dimension = kOverworld;
};
struct LocalPoseMessage {
    Pose pose{};
    std::string dimension = kOverworld;
};
struct PlayerPose {
    uint32_t id = 0;
    Pose pose{};
    std::string dimension = kOverworld;
};
struct PosesMessage {
    std::vector<PlayerPose> players;
};
struct MobState {
    uint32_t id = 0, kind = 0;
    double x = 0, y = 0, z = 0, yaw = 0, walkPhase = 0;
    int32_t health = 0;
};
struct MobsMessage {
    std::vector<MobState> mobs;
};
struct NpcState {
    std::string id;
    double x = 0, y = 0, z = 0;
};
struct NpcsMessage {
    std::vector<NpcState> npcs;
};
struct ArrowState {
    double x = 0, y = 0, z = 0;
    std::array<double, 3> facing{};
};
struct ArrowsMessage {
    std::vector<ArrowState> arrows;
};
struct ItemState {
    uint8_t id = 0;
    float x = 0, y = 0, z = 0, spin = 0;
    int32_t count = 0;
    uint32_t pile = 0;  // the owner's id of the pile, named by a guest that takes it
};
struct ItemsMessage {
    std::vector<ItemState> items;
};
struct ClientEventMessage {
    uint32_t event = 0;
    uint32_t player = 0;  // set by the host: who sent it (to the owner) or whom it is for (from it)
    uint32_t subject = 0;
    int32_t amount = 0;
};
struct PlayerName {
    uint32_t id = 0;
    std::string name;
};
struct PlayersMessage {
    std::vector<PlayerName> players;
};
struct OwnerMessage {
    uint32_t playerId = 0;
};
struct ChatMessage {
    uint32_t player = 0;  // set by the host: who said it
    std::string name;     // set by the host
    std::string text;
};

// The room's world as its files hold it: world.txt (name, seed, generation value) and generation.json.
struct WorldMessage {
    std::string worldFile;
    std::string generation;
};

// In the order of MessageType: the alternative's index is the type number minus 1.
using Message = std::variant<HelloMessage, WelcomeMessage, RefusalMessage, BlockEditsMessage,
                             LocalPoseMessage, PosesMessage, MobsMessage, NpcsMessage, ArrowsMessage,
                             ItemsMessage, ClientEventMessage, PlayersMessage, OwnerMessage, ChatMessage,
                             WorldMessage>;

MessageType messageType(const Message& message);

// A received frame: its type (1..26) and its payload bytes.
struct Packet {
    uint32_t type = 0;
    std::vector<uint8_t> payload;
};

// A cursor over a payload. Every fixed-size read past the end fails with "Incomplete network
// packet"; numbers come back little-endian, floats as they were sent (finiteness is the caller's).
class PacketReader {
   public:
    PacketReader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    explicit PacketReader(const Packet& packet) : PacketReader(packet.payload.data(), packet.payload.size()) {}
    uint8_t u8() { return static_cast<uint8_t>(take(1)); }
    uint16_t u16() { return static_cast<uint16_t>(take(2)); }
    uint32_t u32() { return static_cast<uint32_t>(take(4)); }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    uint64_t u64() { return take(8); }
    float f32();
    double f64();
    // `count` bytes as a string.
    std::string bytes(std::size_t count);
    std::size_t remaining() const { return size_ - at_; }

   private:
    uint64_t take(std::size_t count);
    const uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// Appends the message as one frame. Fails ("Cannot send ...") when a text or count is over its limit,
// so that nothing the other side would refuse is ever sent.
void appendFrame(std::vector<uint8_t>& out, const Message& message);
std::vector<uint8_t> encodeFrame(const Message& message);
// The cells of the dimension as BlockEdits frames of at most kMaxCellEdits each; nothing when there
// are none.
void appendEditFrames(std::vector<uint8_t>& out, const std::vector<CellEdit>& cells,
                      const std::string& dimension = kOverworld);

struct DecodedFrame {
    // Not "Status": the X11 headers take that name for a macro.
    enum class Outcome { Incomplete, Complete, Refused };
    Outcome status = Outcome::Incomplete;
    Message message;
    std::size_t consumed = 0;  // bytes of the frame, when complete
    std::string error;         // why it was refused
};

struct DecodedPacket {
    DecodedFrame::Outcome status = DecodedFrame::Outcome::Incomplete;
    Packet packet;
    std::size_t consumed = 0;
    std::string error;
};

// The frame layer alone: the first frame of the bytes as a packet. Incomplete until the whole frame
// is there, but refused at once when the bytes there already show another magic, or the header a
// type or a length out of range.
DecodedPacket decodePacket(const uint8_t* data, std::size_t size);
// The message a packet carries; throws std::runtime_error with the reason it is refused.
Message decodeMessage(const Packet& packet);
// Both layers: the first frame of the bytes as a message.
DecodedFrame decodeFrame(const uint8_t* data, std::size_t size);

}  // namespace net
