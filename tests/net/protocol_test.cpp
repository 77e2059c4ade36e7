// Frames of the LAN protocol: every message through and back, and each limit at its edge.
#include "net/protocol.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "net/peer_link.h"
#include "support/failure.h"

namespace {

using net::DecodedFrame;
using Bytes = std::vector<uint8_t>;

void put(Bytes& out, uint64_t v, int count) {
    for (int i = 0; i < count; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A frame header: magic, type and payload length as written.
Bytes header(uint32_t type, uint64_t length, const char* magic = "QR61") {
    Bytes out(magic, magic + 4);
    put(out, type, 4);
    put(out, length, 4);
    return out;
}

// A frame with the given type and body, the length written as it should be.
Bytes rawFrame(uint32_t type, const Bytes& body) {
    Bytes out = header(type, body.size());
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes text(std::size_t length, int countBytes) {
    Bytes out(static_cast<std::size_t>(countBytes) + length, 'a');
    for (int i = 0; i < countBytes; ++i)
        out[static_cast<std::size_t>(i)] = static_cast<uint8_t>(length >> (8 * i));
    return out;
}

Bytes hello(std::size_t roomLength, std::size_t nameLength, uint16_t version = net::kProtocolVersion) {
    Bytes body;
    put(body, version, 2);
    put(body, 0x1234, 8);
    for (const Bytes& part : {text(roomLength, 1), text(nameLength, 1), text(0, 1)})
        body.insert(body.end(), part.begin(), part.end());
    return rawFrame(1, body);
}

// A list message with `count` entries of `entry` bytes each; edits name an empty dimension first.
Bytes list(uint8_t type, std::size_t count, const Bytes& entry) {
    Bytes body;
    if (type == 4) body.push_back(0);
    put(body, count, 2);
    for (std::size_t i = 0; i < count; ++i) body.insert(body.end(), entry.begin(), entry.end());
    return rawFrame(type, body);
}

Bytes zeros(std::size_t n) {
    return Bytes(n, 0);
}

// A chat payload from a guest: id 0, no name, `length` bytes of text.
Bytes chat(std::size_t length) {
    Bytes body = zeros(5);
    const Bytes said = text(length, 2);
    body.insert(body.end(), said.begin(), said.end());
    return body;
}

Bytes npcEntry(std::size_t idLength) {
    Bytes entry = text(idLength, 1);
    entry.insert(entry.end(), 24, 0);
    return entry;
}

DecodedFrame decode(const Bytes& bytes) {
    return net::decodeFrame(bytes.data(), bytes.size());
}

TEST(LanProtocol, EveryMessageComesBackAsItWasSent) {
    const net::Pose pose{1.5f, 70.62f, -3.0f, 3.1f, -0.2f, 0.6f, 1.0f};
    const std::vector<net::Message> messages = {
        net::HelloMessage{net::kProtocolVersion, 0xCBF29CE484222325ull, "40617395", "ИГРОК",
                          "0123456789abcdef0123456789abcdef"},
        net::WelcomeMessage{7},
        net::RefusalMessage{"Wrong room code"},
        net::BlockEditsMessage{{{-17, 64, 33, 13, 9, 0}, {-17, 65, 33, 13, 8, 3}}, "core:ash"},
        net::LocalPoseMessage{pose},
        net::PosesMessage{{{2, pose}, {9, pose}}},
        net::MobsMessage{{{4, 1, 10.5, 64.0, -2.25, 1.0, 0.5, -3}}},
        net::NpcsMessage{{{"core:smith.city.1", 1.0, 2.0, 3.0}}},
        net::ArrowsMessage{{{1.0, 2.0, 3.0, {0.0, 0.6, 0.8}}}},
        net::ItemsMessage{{{7, 1.0f, 2.0f, 3.0f, 0.5f, 12, 40001}}},
        net::ClientEventMessage{net::kEventHitMob, 3, 4, -5},
        net::PlayersMessage{{{1, "ИГРОК"}, {2, "ИГРОК 2"}}},
        net::OwnerMessage{2},
        net::ChatMessage{3, "ИГРОК", "ПРИВЕТ, hello!"},
        net::WorldMessage{"name=Мир\nseed=2\n", "{\"profile\": {}}"},
    };
    for (const net::Message& message : messages) {
        const Bytes bytes = net::encodeFrame(message);
        const DecodedFrame frame = decode(bytes);
        ASSERT_EQ(frame.status, DecodedFrame::Outcome::Complete) << frame.error;
        EXPECT_EQ(frame.consumed, bytes.size());
        EXPECT_EQ(frame.message.index(), message.index());
        EXPECT_EQ(net::encodeFrame(frame.message), bytes) << "type " << message.index() + 1;
    }
    const Bytes edits = net::encodeFrame(messages[3]);
    EXPECT_EQ(Bytes(edits.begin(), edits.begin() + 12), header(4, 1 + 8 + 2 + 2 * 15)) << "magic, type, payload length";
    EXPECT_EQ(std::get<net::BlockEditsMessage>(decode(edits).message).cells[0].x, -17);
}

TEST(LanProtocol, FramesAreCheckedAtEachLimit) {
    struct Row {
        const char* name;
        Bytes bytes;
        const char* error;  // "" = decodes
    };
    const Bytes welcome4 = rawFrame(2, zeros(4));
    const Row rows[] = {
        {"type 16, reserved", rawFrame(16, {}), "unknown message type 16"},
        {"chat text 192", rawFrame(14, chat(192)), ""},
        {"chat text 193", rawFrame(14, chat(193)), "chat text longer than 192 bytes"},
        {"owner, 4 bytes", rawFrame(13, zeros(4)), ""},
        {"owner cut short", rawFrame(13, zeros(3)), "Incomplete network packet"},
        {"client event, 16 bytes", rawFrame(11, zeros(16)), ""},
        {"client event cut short", rawFrame(11, zeros(15)), "Incomplete network packet"},
        {"welcome, 4 bytes", welcome4, ""},
        {"welcome cut short", rawFrame(2, zeros(3)), "Incomplete network packet"},
        {"welcome with a byte too many", rawFrame(2, zeros(5)), "message longer than its fields"},
        {"room code 32", hello(32, 5), ""},
        {"room code 33", hello(33, 5), "room code longer than 32 bytes"},
        {"room code 33, later version: read up to it", hello(33, 5, net::kProtocolVersion + 1), ""},
        {"name 64", hello(8, 64), ""},
        {"name 65", hello(8, 65), "player name longer than 64 bytes"},
        {"reason 256", rawFrame(3, text(256, 2)), ""},
        {"reason 257", rawFrame(3, text(257, 2)), "refusal reason longer than 256 bytes"},
        {"2048 cell edits", list(4, 2048, zeros(15)), ""},
        {"2049 cell edits", list(4, 2049, {}), "more than 2048 cell edits"},
        {"64 poses", list(6, 64, zeros(33)), ""},
        {"65 poses", list(6, 65, {}), "more than 64 poses"},
        {"256 mobs", list(7, 256, zeros(52)), ""},
        {"257 mobs", list(7, 257, {}), "more than 256 mobs"},
        {"NPC id 100", list(8, 1, npcEntry(100)), ""},
        {"NPC id 101", list(8, 1, npcEntry(101)), "NPC id longer than 100 bytes"},
        {"128 NPCs", list(8, 128, npcEntry(1)), ""},
        {"129 NPCs", list(8, 129, {}), "more than 128 NPCs"},
        {"512 arrows", list(9, 512, zeros(48)), ""},
        {"513 arrows", list(9, 513, {}), "more than 512 arrows"},
        {"512 dropped items", list(10, 512, zeros(25)), ""},
        {"513 dropped items", list(10, 513, {}), "more than 512 dropped items"},
        {"64 players", list(12, 64, {1, 0, 0, 0, 0}), ""},
        {"65 players", list(12, 65, {}), "more than 64 players"},
        {"count promising more than is there", rawFrame(6, {2, 0}), "Incomplete network packet"},
        {"text promising more than is there", rawFrame(3, {5, 0, 'a'}), "Incomplete network packet"},
    };
    for (const Row& row : rows) {
        const DecodedFrame frame = decode(row.bytes);
        if (row.error == nullptr) {
            EXPECT_EQ(frame.status, DecodedFrame::Outcome::Incomplete) << row.name;
        } else if (*row.error == '\0') {
            EXPECT_EQ(frame.status, DecodedFrame::Outcome::Complete) << row.name << ": " << frame.error;
            EXPECT_EQ(frame.consumed, row.bytes.size()) << row.name;
        } else {
            EXPECT_EQ(frame.status, DecodedFrame::Outcome::Refused) << row.name;
            EXPECT_EQ(frame.error, row.error) << row.name;
        }
    }
}

// The header alone, each field at its edges from both sides.
TEST(LanProtocol, TheFrameHeaderIsCheckedAtItsLimits) {
    struct Row {
        const char* name;
        Bytes bytes;
        const char* error;  // nullptr = waits for more, "" = a complete packet
    };
    const Bytes mib(net::kMaxPayload, 7);
    Bytes full = header(1, net::kMaxPayload);
    full.insert(full.end(), mib.begin(), mib.end());
    const Row rows[] = {
        {"type 0", header(0, 0), "message type 0 out of range"},
        {"type 1", header(1, 0), ""},
        {"type 26", header(26, 0), ""},
        {"type 27", header(27, 0), "message type 27 out of range"},
        {"type 2^32 - 1", header(0xFFFFFFFFu, 0), "message type 4294967295 out of range"},
        {"payload 1 MiB", full, ""},
        {"payload 1 MiB, not all there", header(1, net::kMaxPayload), nullptr},
        {"payload 1 MiB + 1", header(1, net::kMaxPayload + 1), "payload length 1048577 out of range"},
        {"payload 2^32 - 1", header(1, 0xFFFFFFFFu), "payload length 4294967295 out of range"},
        {"another magic", header(1, 0, "QR60"), "frame without the QR61 magic"},
        {"another magic, first byte only", {'q'}, "frame without the QR61 magic"},
        {"the magic alone", {'Q', 'R', '6', '1'}, nullptr},
        {"header but one byte", {'Q', 'R', '6', '1', 1, 0, 0, 0, 0, 0, 0}, nullptr},
    };
    for (const Row& row : rows) {
        const net::DecodedPacket packet = net::decodePacket(row.bytes.data(), row.bytes.size());
        if (row.error == nullptr) {
            EXPECT_EQ(packet.status, DecodedFrame::Outcome::Incomplete) << row.name << ": " << packet.error;
        } else if (*row.error == '\0') {
            ASSERT_EQ(packet.status, DecodedFrame::Outcome::Complete) << row.name << ": " << packet.error;
            EXPECT_EQ(packet.consumed, row.bytes.size()) << row.name;
            EXPECT_EQ(packet.packet.payload.size(), row.bytes.size() - net::kFrameHeader) << row.name;
        } else {
            EXPECT_EQ(packet.status, DecodedFrame::Outcome::Refused) << row.name;
            EXPECT_EQ(packet.error, row.error) << row.name;
        }
    }
}

TEST(LanProtocol, APacketReadPastItsEndIsIncomplete) {
    const net::Packet packet{11, {1, 2, 3, 4, 5, 6, 7}};
    struct Read {
        const char* name;
        void (*read)(net::PacketReader&);
        std::size_t size;
    };
    const Read reads[] = {
        {"u8", [](net::PacketReader& r) { r.u8(); }, 1},
        {"u16", [](net::PacketReader& r) { r.u16(); }, 2},
        {"u32", [](net::PacketReader& r) { r.u32(); }, 4},
        {"u64", [](net::PacketReader& r) { r.u64(); }, 8},
        {"f64", [](net::PacketReader& r) { r.f64(); }, 8},
    };
    for (const Read& read : reads) {
        // From each start: a read that ends at the payload's end succeeds, one byte further fails.
        for (std::size_t skip = 0; skip <= packet.payload.size(); ++skip) {
            net::PacketReader reader(packet);
            reader.bytes(skip);
            if (skip + read.size <= packet.payload.size()) {
                EXPECT_NO_THROW(read.read(reader)) << read.name << " after " << skip;
                EXPECT_EQ(reader.remaining(), packet.payload.size() - skip - read.size);
            } else {
                EXPECT_EQ(testsupport::failureOf([&] { read.read(reader); }), "Incomplete network packet")
                    << read.name << " after " << skip;
            }
        }
    }
    net::PacketReader reader(packet);
    EXPECT_EQ(reader.u16(), 0x0201);
    EXPECT_EQ(reader.u32(), 0x06050403u) << "little-endian";
    EXPECT_EQ(testsupport::failureOf([&] { reader.bytes(2); }), "Incomplete network packet");
    EXPECT_EQ(reader.bytes(1), "\x07");
}

TEST(LanProtocol, EveryCutOfAFrameWaitsForTheRest) {
    const Bytes bytes =
        net::encodeFrame(net::HelloMessage{net::kProtocolVersion, 99, "40617395", "ИГРОК", "abc"});
    for (std::size_t cut = 0; cut < bytes.size(); ++cut)
        EXPECT_EQ(net::decodeFrame(bytes.data(), cut).status, DecodedFrame::Outcome::Incomplete) << cut;
}

TEST(LanProtocol, NumbersThatAreNotFiniteAreRefused) {
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        const Bytes bytes = net::encodeFrame(net::LocalPoseMessage{{0, 0, 0, bad, 0, 0, 0}});
        EXPECT_EQ(decode(bytes).error, "number that is not finite");
    }
}

// The message with `n` entries in its list.
template <class M, auto list>
net::Message withEntries(std::size_t n) {
    M message;
    (message.*list).resize(n);
    return message;
}

// What is sent at a limit comes back as it was; one more is never sent.
TEST(LanProtocol, EachLimitIsSentUpToItAndNothingPastIt) {
    using namespace net;
    using std::string;
    struct Row {
        const char* name;
        std::size_t limit;
        Message (*make)(std::size_t);  // the message with this many entries or text bytes
    };
    const Row rows[] = {
        {"room code", kMaxRoomCode, [](auto n) -> Message { return HelloMessage{kProtocolVersion, 0, string(n, '7'), "", ""}; }},
        {"name", kMaxPlayerName, [](auto n) -> Message { return HelloMessage{kProtocolVersion, 0, "", string(n, 'a'), ""}; }},
        {"identity", kMaxIdentity, [](auto n) -> Message { return HelloMessage{kProtocolVersion, 0, "", "", string(n, 'f')}; }},
        {"chat text", kMaxChatText, [](auto n) -> Message { return ChatMessage{1, "", string(n, 'c')}; }},
        {"chat name", kMaxPlayerName, [](auto n) -> Message { return ChatMessage{1, string(n, 'n'), ""}; }},
        {"edits' dimension", kMaxDimensionId, [](auto n) -> Message { return BlockEditsMessage{{}, string(n, 'd')}; }},
        {"pose's dimension", kMaxDimensionId, [](auto n) -> Message { return LocalPoseMessage{{}, string(n, 'd')}; }},
        {"listed pose's dimension", kMaxDimensionId,
         [](auto n) -> Message { return PosesMessage{{{1, {}, string(n, 'd')}}}; }},
        {"refusal reason", kMaxReason, [](auto n) -> Message { return RefusalMessage{string(n, 'r')}; }},
        {"NPC id", kMaxNpcId, [](auto n) -> Message { return NpcsMessage{{{string(n, 'n')}}}; }},
        {"world file", kMaxWorldFile, [](auto n) -> Message { return WorldMessage{string(n, 'w'), ""}; }},
        {"generation profile", kMaxGenerationFile, [](auto n) -> Message { return WorldMessage{"", string(n, 'g')}; }},
        {"listed name", kMaxPlayerName, [](auto n) -> Message { return PlayersMessage{{{1, string(n, 'p')}}}; }},
        {"cell edits", kMaxCellEdits, withEntries<BlockEditsMessage, &BlockEditsMessage::cells>},
        {"poses", kMaxPoses, withEntries<PosesMessage, &PosesMessage::players>},
        {"mobs", kMaxMobs, withEntries<MobsMessage, &MobsMessage::mobs>},
        {"NPCs", kMaxNpcs, withEntries<NpcsMessage, &NpcsMessage::npcs>},
        {"arrows", kMaxArrows, withEntries<ArrowsMessage, &ArrowsMessage::arrows>},
        {"dropped items", kMaxItems, withEntries<ItemsMessage, &ItemsMessage::items>},
        {"players", kMaxPlayers, withEntries<PlayersMessage, &PlayersMessage::players>},
    };
    for (const Row& row : rows) {
        const Bytes bytes = encodeFrame(row.make(row.limit));
        const DecodedFrame frame = decode(bytes);
        EXPECT_EQ(frame.status, DecodedFrame::Outcome::Complete) << row.name << ": " << frame.error;
        EXPECT_EQ(encodeFrame(frame.message), bytes) << row.name;
        EXPECT_THROW(encodeFrame(row.make(row.limit + 1)), std::runtime_error) << row.name;
    }
}

TEST(LanProtocol, EditsAreCutIntoFramesOfAtMostTheLimit) {
    const std::size_t full = net::kMaxCellEdits;
    const std::pair<std::size_t, std::vector<std::size_t>> rows[] = {
        {0, {}},
        {1, {1}},
        {full, {full}},
        {full + 1, {full, 1}},
        {2 * full, {full, full}},
        {2 * full + 1, {full, full, 1}},
    };
    for (const auto& [count, expected] : rows) {
        std::vector<net::CellEdit> cells(count);
        for (std::size_t i = 0; i < count; ++i) cells[i].x = static_cast<int32_t>(i);
        Bytes out;
        net::appendEditFrames(out, cells);
        std::vector<std::size_t> frames;
        std::vector<net::CellEdit> cellsBack;
        for (std::size_t at = 0; at < out.size();) {
            const DecodedFrame frame = net::decodeFrame(out.data() + at, out.size() - at);
            ASSERT_EQ(frame.status, DecodedFrame::Outcome::Complete) << count;
            at += frame.consumed;
            const auto& part = std::get<net::BlockEditsMessage>(frame.message).cells;
            frames.push_back(part.size());
            cellsBack.insert(cellsBack.end(), part.begin(), part.end());
        }
        EXPECT_EQ(frames, expected) << count;
        ASSERT_EQ(cellsBack.size(), count);
        for (std::size_t i = 0; i < count; ++i)
            ASSERT_EQ(cellsBack[i].x, static_cast<int32_t>(i)) << "in order";
    }
}

TEST(LanProtocol, APeerIsAFloodOneMessagePastTheLimitInOneSecond) {
    net::LinkLimits limits;
    limits.messagesPerSecond = 5;
    for (const int count : {5, 6}) {
        Bytes in;
        for (int i = 0; i < count; ++i) net::appendFrame(in, net::ClientEventMessage{1});
        net::LinkMeter meter;
        net::startMeter(meter, 10.0);
        std::vector<net::Message> messages;
        const std::string error = net::takeMessages(in, meter, 10.5, limits, messages);
        EXPECT_EQ(error.empty(), count == 5) << count << ": " << error;
        EXPECT_EQ(messages.size(), static_cast<std::size_t>(count));
    }
    // A new second starts a new count.
    Bytes in;
    net::LinkMeter meter;
    net::startMeter(meter, 10.0);
    std::vector<net::Message> messages;
    for (const double now : {10.0, 10.5, 11.0, 12.0}) {
        for (int i = 0; i < 3; ++i) net::appendFrame(in, net::ClientEventMessage{1});
        EXPECT_EQ(net::takeMessages(in, meter, now, limits, messages),
                  now == 10.5 ? "flood: more than 5 messages in one second" : "")
            << now;
    }
}

}  // namespace
