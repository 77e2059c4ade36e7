#include "server/relay_server.h"

#include <poll.h>

#include <algorithm>
#include <climits>
#include <sstream>

#include "net/printable_text.h"
#include "platform/tcp.h"
#include "world/chunk.h"
#include "world/shapes.h"

namespace net {

namespace {

template <class T>
bool holds(const Message& message) {
    return std::holds_alternative<T>(message);
}

std::string secondsText(double seconds) {
    std::ostringstream text;
    text << seconds;
    return text.str();
}

bool isSnapshot(const Message& message) {
    return holds<MobsMessage>(message) || holds<NpcsMessage>(message) || holds<ArrowsMessage>(message) ||
           holds<ItemsMessage>(message);
}

// Keeps the latest lines: past twice the kept number the older half goes at once, so that each line
// costs the same however long the server runs.
void keepLatest(std::vector<std::string>& lines, std::string line) {
    if (lines.size() >= 2 * kLinesKept) lines.erase(lines.begin(), lines.end() - kLinesKept);
    lines.push_back(std::move(line));
}

// Bytes a connection may send before its Welcome: many times the longest Hello, so that a later
// version's longer one is still read and refused with the version's line.
constexpr std::size_t kMostBeforeWelcome = 4096;

}  // namespace

bool RelayBudget::take(double now, uint32_t perSecond) {
    if (now - windowStart >= 1.0) {
        windowStart = now;
        used = 0;
    }
    if (used >= perSecond) return false;
    ++used;
    return true;
}

RelayServer::RelayServer(RelayConfig config)
    : config_(std::move(config)),
      log_(config_.logPath, config_.logBytes),
      codeGate_(config_.roomCode, config_.codes, config_.clock()) {}

RelayServer::~RelayServer() {
    for (Guest& guest : guests_) platform::closeSocket(guest.socket);
    platform::closeSocket(listenSocket_);
}

bool RelayServer::listen(uint32_t address) {
    // A full accept queue drops a newcomer's connection for a second or more: under a flood of
    // connections a real guest's must still find room there.
    listenSocket_ = platform::listenOn(address, config_.port, 256);
    if (listenSocket_ < 0) return false;
    port_ = platform::localPort(listenSocket_);
    return true;
}

std::size_t RelayServer::guestCount() const {
    return static_cast<std::size_t>(std::count_if(
        guests_.begin(), guests_.end(), [](const Guest& g) { return g.admitted && g.socket >= 0; }));
}

void RelayServer::step(int waitMs) {
    // While accepting is paused, or every place to wait is taken, the listening socket stays
    // readable: watching it would spin. The places free up with the traffic of those waiting, or
    // within a turn's wait once one of them may make room.
    const bool accepting = config_.clock() >= acceptPausedUntil_;
    const bool watchListening = accepting && waiting() < config_.maxWaiting;
    std::vector<pollfd> watched{{watchListening ? listenSocket_ : -1, POLLIN, 0}};
    for (const Guest& guest : guests_)
        watched.push_back({guest.socket, static_cast<short>(POLLIN | (guest.out.empty() ? 0 : POLLOUT)), 0});
    ::poll(watched.data(), watched.size(), waitMs);
    const double now = config_.clock();
    if (accepting) acceptGuests(now);
    for (std::size_t i = 0; i < guests_.size(); ++i) serve(guests_[i], now);
    dropSlowHellos(now);
    removeClosed();
    if (playersChanged_) sendPlayers();
    if (now - lastEdits_ >= config_.editsInterval) {
        lastEdits_ = now;
        sendPendingEdits();
    }
    if (now - lastPoses_ >= config_.posesInterval) {
        lastPoses_ = now;
        sendPoses();
    }
}

void RelayServer::acceptGuests(double now) {
    // Past the places to wait, a newcomer stays in the accept queue until one is free.
    while ((waiting() < config_.maxWaiting || (connectionWaits() && makeRoom(now))) && acceptOne(now)) {
    }
}

bool RelayServer::acceptOne(double now) {
    const platform::Accepted accepted = platform::acceptPeer(listenSocket_);
    if (accepted.socket < 0) {
        // Taking a descriptor comes before looking for a connection: nobody may be waiting at all.
        if (!accepted.outOfDescriptors || !connectionWaits()) return false;
        // The one that has waited longest frees its descriptor for the next in line.
        if (makeRoom(now)) return true;
        acceptPausedUntil_ = now + config_.acceptPause;
        if (!outOfDescriptors_)
            note("Out of file descriptors: not accepting guests for " + secondsText(config_.acceptPause) +
                 " s at a time until one is free");
        outOfDescriptors_ = true;
        return false;
    }
    outOfDescriptors_ = false;
    // One address cannot fill the server with connections that never say Hello.
    if (waitingFrom(accepted.address) >= config_.maxWaitingPerAddress) {
        platform::closeSocket(accepted.socket);
        return true;
    }
    Guest guest;
    guest.socket = accepted.socket;
    guest.address = accepted.address;
    guest.connectedAt = now;
    startMeter(guest.meter, now);
    guests_.push_back(std::move(guest));
    return true;
}

bool RelayServer::connectionWaits() const {
    pollfd listening{listenSocket_, POLLIN, 0};
    return ::poll(&listening, 1, 0) > 0 && (listening.revents & POLLIN) != 0;
}

std::size_t RelayServer::waitingFrom(uint32_t address) const {
    return static_cast<std::size_t>(std::count_if(guests_.begin(), guests_.end(), [&](const Guest& g) {
        return g.socket >= 0 && !g.admitted && g.address == address;
    }));
}

std::size_t RelayServer::waiting() const {
    return static_cast<std::size_t>(std::count_if(
        guests_.begin(), guests_.end(), [](const Guest& g) { return g.socket >= 0 && !g.admitted; }));
}

bool RelayServer::makeRoom(double now) {
    Guest* oldest = nullptr;
    for (Guest& guest : guests_)
        if (guest.socket >= 0 && !guest.admitted && now - guest.connectedAt >= config_.crowdedHelloSeconds &&
            (oldest == nullptr || guest.connectedAt < oldest->connectedAt))
            oldest = &guest;
    if (oldest == nullptr) return false;
    if (oldest->closing) {
        platform::closeSocket(std::exchange(oldest->socket, -1));
    } else {
        drop(*oldest, "no Hello within " + secondsText(config_.crowdedHelloSeconds) +
                          " seconds while the server had no place for another connection");
    }
    return true;
}

void RelayServer::dropSlowHellos(double now) {
    for (Guest& guest : guests_) {
        if (guest.socket < 0 || guest.admitted || now - guest.connectedAt <= config_.helloSeconds) continue;
        if (guest.closing) {
            // A refused guest that does not take its refusal holds nothing worth a line.
            platform::closeSocket(std::exchange(guest.socket, -1));
        } else {
            drop(guest, "no Hello within " + secondsText(config_.helloSeconds) + " seconds");
        }
    }
}

void RelayServer::serve(Guest& guest, double now) {
    if (guest.socket < 0) return;
    std::vector<Message> messages;
    const std::string error =
        exchange(guest.socket, guest.in, guest.out, guest.meter, now, config_.limits, messages);
    if (guest.closing) {
        // A refused guest only waits for its refusal to leave; what it says meanwhile does not count.
        if (guest.out.empty() || !error.empty()) {
            platform::closeSocket(guest.socket);
            guest.socket = -1;
        }
        return;
    }
    for (Message& message : messages) {
        if (const std::string cause = handle(guest, message); !cause.empty()) return drop(guest, cause);
        if (guest.closing || guest.socket < 0) return;
    }
    // A frame longer than any Hello, before the Welcome: its bytes are not kept waiting for the rest.
    if (error.empty() && !guest.admitted && guest.in.size() > kMostBeforeWelcome)
        return drop(guest, "sent more than a Hello before its Hello was answered");
    if (error == kConnectionClosed) {
        leave(guest);
    } else if (!error.empty()) {
        drop(guest, error);
    }
}

std::string RelayServer::handle(Guest& guest, Message& message) {
    if (!guest.admitted) {
        if (!holds<HelloMessage>(message)) return "spoke before its Hello";
        return admit(guest, std::get<HelloMessage>(message), config_.clock());
    }
    if (auto* edits = std::get_if<BlockEditsMessage>(&message)) {
        return relayEdits(guest, *edits);
    } else if (auto* pose = std::get_if<LocalPoseMessage>(&message)) {
        guest.pose = pose->pose;
        guest.hasPose = true;
        if (pose->dimension != guest.dimension) {
            // What the guest had waiting belongs to the dimension it left.
            guest.dimension = pose->dimension;
            guest.pendingEdits.clear();
            sendChangedCells(guest);
        }
    } else if (auto* event = std::get_if<ClientEventMessage>(&message)) {
        routeClientEvent(guest, *event);
    } else if (auto* chat = std::get_if<ChatMessage>(&message)) {
        relayChat(guest, std::move(*chat));
    } else if (isSnapshot(message)) {
        relaySnapshot(guest, message);
    } else if (auto* world = std::get_if<WorldMessage>(&message)) {
        keepWorld(guest, std::move(*world));
    } else {
        return "sent a message a guest may not send";
    }
    return "";
}

bool RelayServer::identityInRoom(const std::string& identity) const {
    return std::any_of(guests_.begin(), guests_.end(), [&](const Guest& g) {
        return g.admitted && g.socket >= 0 && g.identity == identity;
    });
}

RelayServer::Guest* RelayServer::admittedGuest(uint32_t id) {
    for (Guest& guest : guests_)
        if (guest.id == id && guest.admitted && guest.socket >= 0) return &guest;
    return nullptr;
}

void RelayServer::relaySnapshot(const Guest& from, const Message& message) {
    if (from.id != ownerId_) return;  // a guest without the world has nothing the others need
    if (const auto* items = std::get_if<ItemsMessage>(&message)) recordOwnerPiles(*items);
    if (!snapshotBudget_.take(config_.clock(), kRelayedPerSecond)) return;
    for (Guest& guest : guests_)
        if (&guest != &from && guest.admitted && guest.socket >= 0) queue(guest, message);
}

void RelayServer::recordOwnerPiles(const ItemsMessage& items) {
    ownerPiles_.clear();
    for (const ItemState& item : items.items) ownerPiles_[item.pile] = {item.id, item.count};
}

void RelayServer::routeClientEvent(Guest& from, ClientEventMessage event) {
    const bool fromOwner = from.id == ownerId_;
    const uint32_t target = fromOwner ? event.player : ownerId_;
    Guest* to = admittedGuest(target);
    if (to == nullptr || to == &from) return;
    if (!fromOwner && !eventBudget_.take(config_.clock(), kRelayedPerSecond)) return;
    if (!fromOwner && event.event == kEventTakePile) {
        const auto pile = ownerPiles_.find(event.subject);
        if (pile != ownerPiles_.end() && from.askedPiles.size() < kMaxItems) from.askedPiles[pile->first] = pile->second;
    }
    if (fromOwner && event.event == kEventPileGiven && !grantFits(*to, event)) {
        note("Grant refused: the owner gave guest " + std::to_string(to->id) + " " + std::to_string(event.amount) +
             " of item " + std::to_string(event.subject) + ", more than a pile it asked for held");
        return;
    }
    // The owner learns who acted; a guest never chooses whom its event speaks for.
    if (!fromOwner) event.player = from.id;
    queue(*to, event);
}

bool RelayServer::grantFits(Guest& taker, const ClientEventMessage& grant) {
    for (auto it = taker.askedPiles.begin(); it != taker.askedPiles.end(); ++it) {
        auto [id, count] = it->second;
        // A pile that grew after it was asked for may be handed over whole.
        if (const auto now = ownerPiles_.find(it->first); now != ownerPiles_.end() && now->second.first == id)
            count = std::max(count, now->second.second);
        if (id == grant.subject && grant.amount > 0 && grant.amount <= count) {
            taker.askedPiles.erase(it);
            return true;
        }
    }
    return false;
}

void RelayServer::keepWorld(const Guest& from, WorldMessage world) {
    // Later worlds are games that opened their own before they heard of the room's: they get this one.
    if (hasWorld_) return;
    hasWorld_ = true;
    world_ = std::move(world);
    for (Guest& guest : guests_)
        if (&guest != &from && guest.admitted && guest.socket >= 0) queue(guest, world_);
}

std::string RelayServer::uniqueName(const std::string& name) const {
    const auto taken = [&](const std::string& candidate) {
        return std::any_of(guests_.begin(), guests_.end(), [&](const Guest& g) {
            return g.admitted && g.socket >= 0 && g.name == candidate;
        });
    };
    std::string shown = name;
    for (uint32_t number = 2; taken(shown); ++number) {
        const std::string suffix = " " + std::to_string(number);
        // Cut at a character's start, so that a long name stays valid UTF-8 within the limit.
        std::size_t keep = std::min(name.size(), kMaxPlayerName - suffix.size());
        while (keep > 0 && keep < name.size() && (static_cast<uint8_t>(name[keep]) & 0xC0) == 0x80) --keep;
        shown = name.substr(0, keep) + suffix;
    }
    return shown;
}

void RelayServer::relayChat(Guest& from, ChatMessage chat) {
    if (!from.chatBudget.take(config_.clock(), kChatLinesPerSecond)) return;
    chat.player = from.id;
    chat.name = from.name;
    for (Guest& guest : guests_)
        if (&guest != &from && guest.admitted && guest.socket >= 0) queue(guest, chat);
}

void RelayServer::chooseOwner() {
    if (admittedGuest(ownerId_) != nullptr) return;
    ownerId_ = 0;
    for (const Guest& guest : guests_)  // ids grow with admission, so the lowest came first
        if (guest.admitted && guest.socket >= 0 && (ownerId_ == 0 || guest.id < ownerId_))
            ownerId_ = guest.id;
    for (Guest& guest : guests_)
        if (guest.admitted && guest.socket >= 0) queue(guest, OwnerMessage{ownerId_});
}

std::string RelayServer::checkPlayer(const HelloMessage& hello) const {
    if (hello.name.empty()) return "The player name is empty";
    // A name shows in every other game's chat and player list, like a chat line.
    if (!isPrintableText(hello.name)) return "The player name holds a character that cannot be shown";
    if (hello.identity.empty()) return "The player has no network identity";
    return "";
}

std::string RelayServer::admit(Guest& guest, const HelloMessage& hello, double now) {
    std::string refusal;
    if (hello.version != kProtocolVersion) {
        refusal = "Protocol version " + std::to_string(hello.version) + " differs from the server's " +
                  std::to_string(kProtocolVersion) + ": the game and the server must be of the same release";
    } else if (refusal = checkPlayer(hello); !refusal.empty()) {
    } else if (RoomCodeGate::Answer code = codeGate_.check(guest.address, hello.roomCode, now);
               !code.refusal.empty()) {
        if (!code.notice.empty()) note(code.notice);
        refusal = code.refusal;
    } else if (hello.fingerprint != config_.fingerprint) {
        refusal = "Game content differs from the server's";
    } else if (identityInRoom(hello.identity)) {
        refusal = "This player is already in the room";
    } else if (guestCount() >= config_.maxGuests) {
        refusal = "The room is full";
    }
    if (!refusal.empty()) {
        appendFrame(guest.out, RefusalMessage{refusal});
        guest.closing = true;
        return "";
    }
    guest.admitted = true;
    guest.id = nextId_++;
    guest.name = uniqueName(hello.name);
    guest.identity = hello.identity;
    queue(guest, WelcomeMessage{guest.id});
    if (ownerId_ == 0) ownerId_ = guest.id;
    queue(guest, OwnerMessage{ownerId_});
    if (hasWorld_) queue(guest, world_);
    sendChangedCells(guest);
    playersChanged_ = true;
    return "";
}

void RelayServer::sendChangedCells(Guest& guest) {
    std::vector<CellEdit> cells;
    const auto first = changed_.lower_bound(Cell{guest.dimension, INT32_MIN, INT32_MIN, INT32_MIN});
    for (auto it = first; it != changed_.end() && std::get<0>(it->first) == guest.dimension; ++it)
        cells.push_back(it->second);
    appendEditFrames(guest.out, cells, guest.dimension);
    overQueueBound(guest);
}

std::string RelayServer::outsideWorld(const BlockEditsMessage& edits) const {
    if (!config_.dimensions.contains(edits.dimension)) return "unknown dimension " + edits.dimension;
    for (const CellEdit& edit : edits.cells) {
        // An id the content does not define would stop every game that applies it.
        if (edit.id > config_.highestBlockId) return "unknown block id " + std::to_string(edit.id);
        if (edit.y < 0 || edit.y >= voxel::chunkHeight)
            return "height " + std::to_string(edit.y) + " outside 0.." +
                   std::to_string(voxel::chunkHeight - 1);
        if (edit.water > voxel::maxWaterLevel)
            return "water level " + std::to_string(edit.water) + " above " +
                   std::to_string(voxel::maxWaterLevel);
        if ((edit.state & ~voxel::storedStateBits) != 0)
            return "state " + std::to_string(edit.state) + " outside 0.." +
                   std::to_string(voxel::storedStateBits);
    }
    return "";
}

std::string RelayServer::relayEdits(Guest& from, const BlockEditsMessage& edits) {
    const double now = config_.clock();
    if (now - from.editWindowStart >= 1.0) {
        from.editWindowStart = now;
        from.editedCells = 0;
    }
    from.editedCells += edits.cells.size();
    if (from.editedCells > config_.maxEditedCellsPerSecond)
        return "flood: more than " + std::to_string(config_.maxEditedCellsPerSecond) + " edited cells in one second";
    // Refused whole, so that both cells of a door stay together.
    if (const std::string outside = outsideWorld(edits); !outside.empty()) {
        if (!std::exchange(from.editRefused, true))
            note("Guest " + std::to_string(from.id) + ": block edit refused: " + outside +
                 " (further ones are refused without a line)");
        return "";
    }
    for (const CellEdit& edit : edits.cells) {
        const Cell cell{edits.dimension, edit.x, edit.y, edit.z};
        if (changed_.size() < config_.maxChangedCells || changed_.contains(cell)) changed_[cell] = edit;
    }
    for (Guest& guest : guests_) {
        if (&guest == &from || !guest.admitted || guest.socket < 0 || guest.dimension != edits.dimension) continue;
        guest.pendingEdits.insert(guest.pendingEdits.end(), edits.cells.begin(), edits.cells.end());
        overQueueBound(guest);
    }
    return "";
}

void RelayServer::sendPendingEdits() {
    for (Guest& guest : guests_) {
        if (guest.socket >= 0) appendEditFrames(guest.out, guest.pendingEdits, guest.dimension);
        guest.pendingEdits.clear();
    }
}

void RelayServer::queue(Guest& guest, const Message& message) {
    appendFrame(guest.out, message);
    overQueueBound(guest);
}

bool RelayServer::overQueueBound(Guest& guest) {
    if (guest.socket < 0) return true;
    const std::size_t queued = guest.out.size() + guest.pendingEdits.size() * kCellEditBytes;
    if (queued <= config_.maxQueueBytes) return false;
    drop(guest, "cannot keep up: more than " + std::to_string(config_.maxQueueBytes) + " bytes wait for it");
    return true;
}

void RelayServer::sendPoses() {
    for (Guest& guest : guests_) {
        if (!guest.admitted || guest.socket < 0) continue;
        PosesMessage poses;
        for (const Guest& other : guests_)
            if (&other != &guest && other.admitted && other.socket >= 0 && other.hasPose)
                poses.players.push_back({other.id, other.pose, other.dimension});
        queue(guest, poses);
    }
}

void RelayServer::sendPlayers() {
    playersChanged_ = false;
    PlayersMessage players;
    for (const Guest& guest : guests_)
        if (guest.admitted && guest.socket >= 0) players.players.push_back({guest.id, guest.name});
    for (Guest& guest : guests_)
        if (guest.admitted && guest.socket >= 0) queue(guest, players);
}

void RelayServer::drop(Guest& guest, const std::string& cause) {
    const std::string line = "Guest " + std::to_string(guest.id) + " dropped: " + cause;
    log_.write(line, config_.clock());
    keepLatest(drops_, line);
    ++dropCount_;
    leave(guest);
}

void RelayServer::note(const std::string& line) {
    log_.write(line, config_.clock());
    keepLatest(notices_, line);
}

void RelayServer::leave(Guest& guest) {
    platform::closeSocket(guest.socket);
    guest.socket = -1;
    // What waited for it goes at once: a guest dropped for falling behind may hold megabytes.
    std::vector<uint8_t>().swap(guest.out);
    std::vector<uint8_t>().swap(guest.in);
    std::vector<CellEdit>().swap(guest.pendingEdits);
    if (!guest.admitted) return;
    playersChanged_ = true;
    if (guest.id == ownerId_) chooseOwner();
}

void RelayServer::removeClosed() {
    std::erase_if(guests_, [](const Guest& g) { return g.socket < 0; });
}

}  // namespace net
