#include "net/protocol.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <stdexcept>

namespace net {

namespace {

struct Refused : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr const char* kIncompletePacket = "Incomplete network packet";

// Writes the fields in wire order; limits are checked so that a frame we send is never refused.
class Writer {
   public:
    explicit Writer(std::vector<uint8_t>& out) : out_(out) {}
    void u8(const uint8_t& v) { out_.push_back(v); }
    void u16(const uint16_t& v) { bytes(v, 2); }
    void u32(const uint32_t& v) { bytes(v, 4); }
    void i32(const int32_t& v) { bytes(static_cast<uint32_t>(v), 4); }
    void u64(const uint64_t& v) { bytes(v, 8); }
    void f32(const float& v) { bytes(std::bit_cast<uint32_t>(v), 4); }
    void f64(const double& v) { bytes(std::bit_cast<uint64_t>(v), 8); }
    void text(const std::string& s, std::size_t countBytes, std::size_t max, const char* what) {
        if (s.size() > max)
            throw std::runtime_error(std::string("Cannot send a ") + what + " longer than " +
                                     std::to_string(max) + " bytes");
        bytes(s.size(), countBytes);
        out_.insert(out_.end(), s.begin(), s.end());
    }
    template <class T, class F>
    void list(const std::vector<T>& items, std::size_t max, const char* what, F each) {
        if (items.size() > max)
            throw std::runtime_error(std::string("Cannot send more than ") + std::to_string(max) + " " +
                                     what);
        u16(static_cast<uint16_t>(items.size()));
        for (const T& item : items) each(const_cast<T&>(item));
    }

   private:
    void bytes(uint64_t v, int count) {
        for (int i = 0; i < count; ++i) out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    std::vector<uint8_t>& out_;
};

// Reads the fields in wire order from one payload, refusing what does not fit.
class Reader {
   public:
    explicit Reader(PacketReader& in) : in_(in) {}
    void u8(uint8_t& v) { v = in_.u8(); }
    void u16(uint16_t& v) { v = in_.u16(); }
    void u32(uint32_t& v) { v = in_.u32(); }
    void i32(int32_t& v) { v = in_.i32(); }
    void u64(uint64_t& v) { v = in_.u64(); }
    void f32(float& v) { v = finite(in_.f32()); }
    void f64(double& v) { v = finite(in_.f64()); }
    void text(std::string& s, std::size_t countBytes, std::size_t max, const char* what) {
        const std::size_t length = countBytes == 1 ? in_.u8() : countBytes == 2 ? in_.u16() : in_.u32();
        if (length > max) throw Refused(std::string(what) + " longer than " + std::to_string(max) + " bytes");
        s = in_.bytes(length);
    }
    template <class T, class F>
    void list(std::vector<T>& items, std::size_t max, const char* what, F each) {
        const uint16_t count = in_.u16();
        if (count > max) throw Refused("more than " + std::to_string(max) + " " + what);
        // Each entry takes at least a byte, so a count the payload cannot hold is refused before
        // anything is spent on it.
        if (count > in_.remaining()) throw std::runtime_error(kIncompletePacket);
        items.resize(count);
        for (T& item : items) each(item);
    }
    void finish() const {
        if (in_.remaining() != 0) throw Refused("message longer than its fields");
    }
    void skipRest() { in_.bytes(in_.remaining()); }

   private:
    template <class T>
    static T finite(T v) {
        if (!std::isfinite(v)) throw Refused("number that is not finite");
        return v;
    }
    PacketReader& in_;
};

// One description of each message's fields serves both directions.
template <class IO, class M>
void pose(IO& io, M& p) {
    for (auto& v : p) io.f32(v);
}

template <class IO>
void helloAfterVersion(IO& io, HelloMessage& m) {
    io.u64(m.fingerprint);
    io.text(m.roomCode, 1, kMaxRoomCode, "room code");
    io.text(m.name, 1, kMaxPlayerName, "player name");
    io.text(m.identity, 1, kMaxIdentity, "network identity");
}
void fields(Writer& io, HelloMessage& m) {
    io.u16(m.version);
    helloAfterVersion(io, m);
}
// Another version's Hello is read no further than its version: whatever that version changed in its
// fields, the peer hears the version refusal instead of being dropped for a frame it cannot know.
void fields(Reader& io, HelloMessage& m) {
    io.u16(m.version);
    if (m.version == kProtocolVersion) {
        helloAfterVersion(io, m);
    } else {
        io.skipRest();
    }
}
template <class IO>
void fields(IO& io, WelcomeMessage& m) {
    io.u32(m.playerId);
}
template <class IO>
void fields(IO& io, RefusalMessage& m) {
    io.text(m.reason, 2, kMaxReason, "refusal reason");
}
template <class IO>
void fields(IO& io, BlockEditsMessage& m) {
    io.text(m.dimension, 1, kMaxDimensionId, "dimension id");
    io.list(m.cells, kMaxCellEdits, "cell edits", [&](CellEdit& c) {
        for (int32_t* v : {&c.x, &c.y, &c.z}) io.i32(*v);
        for (uint8_t* v : {&c.id, &c.state, &c.water}) io.u8(*v);
    });
}
template <class IO>
void fields(IO& io, LocalPoseMessage& m) {
    pose(io, m.pose);
    io.text(m.dimension, 1, kMaxDimensionId, "dimension id");
}
template <class IO>
void fields(IO& io, PosesMessage& m) {
    io.list(m.players, kMaxPoses, "poses", [&](PlayerPose& p) {
        io.u32(p.id);
        pose(io, p.pose);
        io.text(p.dimension, 1, kMaxDimensionId, "dimension id");
    });
}
template <class IO>
void fields(IO& io, MobsMessage& m) {
    io.list(m.mobs, kMaxMobs, "mobs", [&](MobState& s) {
        io.u32(s.id);
        io.u32(s.kind);
        for (double* v : {&s.x, &s.y, &s.z, &s.yaw, &s.walkPhase}) io.f64(*v);
        io.i32(s.health);
    });
}
template <class IO>
void fields(IO& io, NpcsMessage& m) {
    io.list(m.npcs, kMaxNpcs, "NPCs", [&](NpcState& s) {
        io.text(s.id, 1, kMaxNpcId, "NPC id");
        for (double* v : {&s.x, &s.y, &s.z}) io.f64(*v);
    });
}
template <class IO>
void fields(IO& io, ArrowsMessage& m) {
    io.list(m.arrows, kMaxArrows, "arrows", [&](ArrowState& s) {
        for (double* v : {&s.x, &s.y, &s.z, &s.facing[0], &s.facing[1], &s.facing[2]}) io.f64(*v);
    });
}
template <class IO>
void fields(IO& io, ItemsMessage& m) {
    io.list(m.items, kMaxItems, "dropped items", [&](ItemState& s) {
        io.u8(s.id);
        for (float* v : {&s.x, &s.y, &s.z, &s.spin}) io.f32(*v);
        io.i32(s.count);
        io.u32(s.pile);
    });
}
template <class IO>
void fields(IO& io, ClientEventMessage& m) {
    io.u32(m.event);
    io.u32(m.player);
    io.u32(m.subject);
    io.i32(m.amount);
}
template <class IO>
void fields(IO& io, PlayersMessage& m) {
    io.list(m.players, kMaxPlayers, "players", [&](PlayerName& p) {
        io.u32(p.id);
        io.text(p.name, 1, kMaxPlayerName, "player name");
    });
}

template <class IO>
void fields(IO& io, OwnerMessage& m) {
    io.u32(m.playerId);
}
template <class IO>
void fields(IO& io, ChatMessage& m) {
    io.u32(m.player);
    io.text(m.name, 1, kMaxPlayerName, "player name");
    io.text(m.text, 2, kMaxChatText, "chat text");
}
template <class IO>
void fields(IO& io, WorldMessage& m) {
    io.text(m.worldFile, 4, kMaxWorldFile, "world file");
    io.text(m.generation, 4, kMaxGenerationFile, "generation profile");
}

template <std::size_t I = 0>
Message decodeBody(uint32_t type, Reader& reader) {
    if constexpr (I < std::variant_size_v<Message>) {
        if (type != I + 1) return decodeBody<I + 1>(type, reader);
        std::variant_alternative_t<I, Message> message;
        fields(reader, message);
        reader.finish();
        return message;
    } else {
        throw Refused("unknown message type " + std::to_string(type));
    }
}

uint32_t readU32(const uint8_t* data) {
    return uint32_t{data[0]} | uint32_t{data[1]} << 8 | uint32_t{data[2]} << 16 | uint32_t{data[3]} << 24;
}

void putU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

float PacketReader::f32() {
    return std::bit_cast<float>(static_cast<uint32_t>(take(4)));
}

double PacketReader::f64() {
    return std::bit_cast<double>(take(8));
}

std::string PacketReader::bytes(std::size_t count) {
    if (remaining() < count) throw std::runtime_error(kIncompletePacket);
    std::string s(reinterpret_cast<const char*>(data_ + at_), count);
    at_ += count;
    return s;
}

uint64_t PacketReader::take(std::size_t count) {
    if (remaining() < count) throw std::runtime_error(kIncompletePacket);
    uint64_t v = 0;
    for (std::size_t i = 0; i < count; ++i) v |= uint64_t{data_[at_ + i]} << (8 * i);
    at_ += count;
    return v;
}

MessageType messageType(const Message& message) {
    return static_cast<MessageType>(message.index() + 1);
}

void appendFrame(std::vector<uint8_t>& out, const Message& message) {
    std::vector<uint8_t> body;
    Writer writer(body);
    std::visit([&](const auto& m) { fields(writer, const_cast<std::remove_cvref_t<decltype(m)>&>(m)); },
               message);
    if (body.size() > kMaxPayload) throw std::runtime_error("Cannot send a message longer than the frame limit");
    out.insert(out.end(), std::begin(kFrameMagic), std::end(kFrameMagic));
    putU32(out, static_cast<uint32_t>(messageType(message)));
    putU32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
}

std::vector<uint8_t> encodeFrame(const Message& message) {
    std::vector<uint8_t> out;
    appendFrame(out, message);
    return out;
}

void appendEditFrames(std::vector<uint8_t>& out, const std::vector<CellEdit>& cells, const std::string& dimension) {
    for (std::size_t at = 0; at < cells.size(); at += kMaxCellEdits) {
        const std::size_t end = std::min(cells.size(), at + kMaxCellEdits);
        appendFrame(out, BlockEditsMessage{{cells.begin() + static_cast<std::ptrdiff_t>(at),
                                            cells.begin() + static_cast<std::ptrdiff_t>(end)},
                                           dimension});
    }
}

DecodedPacket decodePacket(const uint8_t* data, std::size_t size) {
    DecodedPacket result;
    const auto refuse = [&](std::string error) {
        result.status = DecodedFrame::Outcome::Refused;
        result.error = std::move(error);
        return result;
    };
    // A stream out of step shows at its first byte: there is no waiting for a header that cannot be.
    for (std::size_t i = 0; i < std::min<std::size_t>(size, 4); ++i)
        if (data[i] != static_cast<uint8_t>(kFrameMagic[i])) return refuse("frame without the QR61 magic");
    if (size < kFrameHeader) return result;
    const uint32_t type = readU32(data + 4);
    const uint32_t length = readU32(data + 8);
    if (type < kFirstMessageType || type > kLastMessageType)
        return refuse("message type " + std::to_string(type) + " out of range");
    if (length > kMaxPayload) return refuse("payload length " + std::to_string(length) + " out of range");
    if (size - kFrameHeader < length) return result;
    result.status = DecodedFrame::Outcome::Complete;
    result.packet.type = type;
    result.packet.payload.assign(data + kFrameHeader, data + kFrameHeader + length);
    result.consumed = kFrameHeader + length;
    return result;
}

Message decodeMessage(const Packet& packet) {
    PacketReader in(packet);
    Reader reader(in);
    return decodeBody(packet.type, reader);
}

DecodedFrame decodeFrame(const uint8_t* data, std::size_t size) {
    DecodedFrame result;
    DecodedPacket frame = decodePacket(data, size);
    result.status = frame.status;
    result.error = std::move(frame.error);
    if (frame.status != DecodedFrame::Outcome::Complete) return result;
    try {
        result.message = decodeMessage(frame.packet);
        result.consumed = frame.consumed;
    } catch (const std::runtime_error& refused) {
        result.status = DecodedFrame::Outcome::Refused;
        result.error = refused.what();
    }
    return result;
}

}  // namespace net
