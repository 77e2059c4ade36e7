#include "server/relay_server.h"

#include <poll.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <iostream>

#include "platform/tcp.h"

namespace net {

namespace {

template <class T>
bool holds(const Message& message) {
    return std::holds_alternative<T>(message);
}

bool isSnapshot(const Message& message) {
    return holds<MobsMessage>(message) || holds<NpcsMessage>(message) || holds<ArrowsMessage>(message) ||
           holds<ItemsMessage>(message);
}

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

RelayServer::RelayServer(RelayConfig config) : config_(std::move(config)) {}

RelayServer::~RelayServer() {
    for (Guest& guest : guests_) platform::closeSocket(guest.socket);
    platform::closeSocket(listenSocket_);
}

bool RelayServer::listen(uint32_t address) {
    listenSocket_ = platform::listenOn(address, config_.port, 16);
    if (listenSocket_ < 0) return false;
    port_ = platform::localPort(listenSocket_);
    return true;
}

std::size_t RelayServer::guestCount() const {
    return static_cast<std::size_t>(std::count_if(
        guests_.begin(), guests_.end(), [](const Guest& g) { return g.admitted && g.socket >= 0; }));
}

void RelayServer::step(int waitMs) {
    std::vector<pollfd> watched{{listenSocket_, POLLIN, 0}};
    for (const Guest& guest : guests_)
        watched.push_back({guest.socket, static_cast<short>(POLLIN | (guest.out.empty() ? 0 : POLLOUT)), 0});
    ::poll(watched.data(), watched.size(), waitMs);
    const double now = linkClock();
    acceptGuests(now);
    for (std::size_t i = 0; i < guests_.size(); ++i) serve(guests_[i], now);
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
    for (int socket = platform::acceptConnection(listenSocket_); socket >= 0;
         socket = platform::acceptConnection(listenSocket_)) {
        Guest guest;
        guest.socket = socket;
        startMeter(guest.meter, now);
        guests_.push_back(std::move(guest));
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
        if (guest.closing) return;
    }
    if (error == kConnectionClosed) {
        leave(guest);
    } else if (!error.empty()) {
        drop(guest, error);
    }
}

std::string RelayServer::handle(Guest& guest, Message& message) {
    if (!guest.admitted) {
        if (!holds<HelloMessage>(message)) return "spoke before its Hello";
        return admit(guest, std::get<HelloMessage>(message));
    }
    if (auto* edits = std::get_if<BlockEditsMessage>(&message)) {
        relayEdits(guest, *edits);
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
    if (!snapshotBudget_.take(linkClock(), kRelayedPerSecond)) return;
    for (Guest& guest : guests_)
        if (&guest != &from && guest.admitted && guest.socket >= 0) appendFrame(guest.out, message);
}

void RelayServer::routeClientEvent(const Guest& from, ClientEventMessage event) {
    const uint32_t target = from.id == ownerId_ ? event.player : ownerId_;
    Guest* to = admittedGuest(target);
    if (to == nullptr || to == &from) return;
    if (from.id != ownerId_ && !eventBudget_.take(linkClock(), kRelayedPerSecond)) return;
    // The owner learns who acted; a guest never chooses whom its event speaks for.
    if (from.id != ownerId_) event.player = from.id;
    appendFrame(to->out, event);
}

void RelayServer::relayChat(const Guest& from, ChatMessage chat) {
    if (!chatBudget_.take(linkClock(), kChatLinesPerSecond)) return;
    chat.player = from.id;
    chat.name = from.name;
    for (Guest& guest : guests_)
        if (&guest != &from && guest.admitted && guest.socket >= 0) appendFrame(guest.out, chat);
}

void RelayServer::chooseOwner() {
    if (admittedGuest(ownerId_) != nullptr) return;
    ownerId_ = 0;
    for (const Guest& guest : guests_)  // ids grow with admission, so the lowest came first
        if (guest.admitted && guest.socket >= 0 && (ownerId_ == 0 || guest.id < ownerId_))
            ownerId_ = guest.id;
    for (Guest& guest : guests_)
        if (guest.admitted && guest.socket >= 0) appendFrame(guest.out, OwnerMessage{ownerId_});
}

std::string RelayServer::admit(Guest& guest, const HelloMessage& hello) {
    std::string refusal;
    if (hello.version != kProtocolVersion)
        refusal = "Protocol version " + std::to_string(hello.version) + " differs from the server's " +
                  std::to_string(kProtocolVersion);
    else if (hello.roomCode != config_.roomCode)
        refusal = "Wrong room code";
    else if (hello.fingerprint != config_.fingerprint)
        refusal = "Game content differs from the server's";
    else if (!hello.identity.empty() && identityInRoom(hello.identity))
        refusal = "This player is already in the room";
    else if (guestCount() >= config_.maxGuests)
        refusal = "The room is full";
    if (!refusal.empty()) {
        appendFrame(guest.out, RefusalMessage{refusal});
        guest.closing = true;
        return "";
    }
    guest.admitted = true;
    guest.id = nextId_++;
    guest.name = hello.name;
    guest.identity = hello.identity;
    appendFrame(guest.out, WelcomeMessage{guest.id});
    if (ownerId_ == 0) ownerId_ = guest.id;
    appendFrame(guest.out, OwnerMessage{ownerId_});
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
}

void RelayServer::relayEdits(const Guest& from, const BlockEditsMessage& edits) {
    for (const CellEdit& edit : edits.cells) {
        const Cell cell{edits.dimension, edit.x, edit.y, edit.z};
        if (changed_.size() < config_.maxChangedCells || changed_.contains(cell)) changed_[cell] = edit;
    }
    for (Guest& guest : guests_)
        if (&guest != &from && guest.admitted && guest.socket >= 0 && guest.dimension == edits.dimension)
            guest.pendingEdits.insert(guest.pendingEdits.end(), edits.cells.begin(), edits.cells.end());
}

void RelayServer::sendPendingEdits() {
    for (Guest& guest : guests_) {
        if (guest.socket >= 0) appendEditFrames(guest.out, guest.pendingEdits, guest.dimension);
        guest.pendingEdits.clear();
    }
}

void RelayServer::sendPoses() {
    for (Guest& guest : guests_) {
        if (!guest.admitted || guest.socket < 0) continue;
        PosesMessage poses;
        for (const Guest& other : guests_)
            if (&other != &guest && other.admitted && other.socket >= 0 && other.hasPose)
                poses.players.push_back({other.id, other.pose, other.dimension});
        appendFrame(guest.out, poses);
    }
}

void RelayServer::sendPlayers() {
    playersChanged_ = false;
    PlayersMessage players;
    for (const Guest& guest : guests_)
        if (guest.admitted && guest.socket >= 0) players.players.push_back({guest.id, guest.name});
    for (Guest& guest : guests_)
        if (guest.admitted && guest.socket >= 0) appendFrame(guest.out, players);
}

void RelayServer::drop(Guest& guest, const std::string& cause) {
    const std::string line = "Guest " + std::to_string(guest.id) + " dropped: " + cause;
    drops_.push_back(line);
    std::cerr << line << std::endl;
    if (!config_.logPath.empty())
        std::ofstream(config_.logPath, std::ios::binary | std::ios::app) << line << "\n";
    leave(guest);
}

void RelayServer::leave(Guest& guest) {
    platform::closeSocket(guest.socket);
    guest.socket = -1;
    if (!guest.admitted) return;
    playersChanged_ = true;
    if (guest.id == ownerId_) chooseOwner();
}

void RelayServer::removeClosed() {
    std::erase_if(guests_, [](const Guest& g) { return g.socket < 0; });
}

}  // namespace net
