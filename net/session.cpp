#include "net/session.h"

#include <GLFW/glfw3.h>

#include <fstream>
#include <stdexcept>

#include "app/app.h"
#include "content/fingerprint.h"
#include "net/network_identity.h"
#include "net/paths.h"
#include "net/refusal_words.h"
#include "net/snapshots.h"
#include "net/startup_folder.h"
#include "net/world_owner.h"
#include "save/file_save.h"
#include "save/world_file.h"
#include "save/world_state_files.h"
#include "platform/tcp.h"

namespace fs = std::filesystem;

namespace net {

fs::path makeAbsolutePath(const fs::path& path) { return path.is_absolute() ? path : fs::absolute(path); }

void reset(Connection& connection) {
    platform::closeSocket(connection.listenSocket);
    platform::closeSocket(connection.peerSocket);
    connection.listenSocket = -1;
    connection.peerSocket = -1;
    connection.connecting = false;
    connection.sendBuffer.clear();
    connection.receiveBuffer.clear();
}

Connection::~Connection() { reset(*this); }

}  // namespace net

namespace {

constexpr double kPoseInterval = 0.2;  // seconds between two poses we send

std::string cacheFolderName(const std::string& address, uint16_t port) {
    return address + "_" + std::to_string(port);
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

// The chunks an unload pass handed the background writer may still be on their way into the folder.
void removeCacheDirectory(LanSession& lan) {
    if (lan.cacheDirectory.empty()) return;
    filesave::backgroundWriter().drain();
    std::error_code ignored;  // a folder someone holds open is left for the next start
    fs::remove_all(lan.cacheDirectory, ignored);
    lan.cacheDirectory.clear();
}

}  // namespace

LanSession::~LanSession() {
    removeCacheDirectory(*this);
    net::releaseStartupFolder(startupFolder);
}

void App::startSession(bool host, const std::string& address, uint16_t port, const std::string& roomCode) {
    if (host) throw std::runtime_error("Hosting runs in the separate server program");
    const std::optional<uint32_t> ip = platform::parseIpv4(address);
    if (!ip) throw std::runtime_error("Invalid server address");
    if (roomCode.size() > net::kMaxRoomCode) throw std::runtime_error("Room code is too long");
    closeSession();
    lan.failure = LanFailure::none;
    lan.refusal.clear();
    lan.contentFingerprint = content::fingerprint(files.base / "Content");
    lan.identity = net::loadNetworkIdentity(files.saves);
    lan.cacheDirectory = files.base / "NetworkCache" / cacheFolderName(address, port);
    fs::create_directories(lan.cacheDirectory);
    const int socket = platform::startConnect(*ip, port);
    if (socket < 0) {
        removeCacheDirectory(lan);
        throw std::runtime_error("Cannot connect to " + address + ":" + std::to_string(port));
    }
    lan.connection.peerSocket = socket;
    lan.connection.connecting = true;
    lan.connection.connectStarted = net::linkClock();
    lan.networked = true;
    lan.roomCode = roomCode;
    lan.cellsDimension = dimension;
    lan.peerAddress = address;
    lan.peerPort = port;
}

void App::storeRoomWorld(const net::WorldMessage& world) {
    if (!filesave::parseWorldFile(world.worldFile)) throw std::runtime_error("the room's world file cannot be read");
    lan.worldShared = true;
    // Once the App plays the copy, what it holds is the session's: a second world cannot replace it.
    if (files.worldOpen && files.world == lan.cacheDirectory) return;
    filesave::backgroundWriter().drain();
    fs::remove_all(lan.cacheDirectory);
    fs::create_directories(lan.cacheDirectory);
    writeBytes(lan.cacheDirectory / filesave::kWorldFile, world.worldFile);
    if (!world.generation.empty()) writeBytes(lan.cacheDirectory / filesave::kGenerationFile, world.generation);
    lan.roomWorldArrived = true;
}

void App::leaveRoomWorld() {
    if (lan.cacheDirectory.empty() || !files.worldOpen || files.world != lan.cacheDirectory) return;
    // Nothing is saved (a guest's world writes nothing while networked): it goes with its folder.
    files.worldOpen = false;
    unloadAllChunks();
    resetWorldState();
    lan.leftRoomWorld = true;
}

void App::closeSession() {
    leaveRoomWorld();
    net::reset(lan.connection);
    lan.host = lan.started = lan.networked = lan.authenticated = lan.ready = false;
    lan.applyingEdit = false;
    lan.playerId = 0;
    lan.remotePoses.clear();
    lan.hasExtraPose = false;
    lan.playerList.clear();
    lan.worldShared = lan.roomWorldArrived = false;
    lan.shownName.clear();
    lan.changedCells.clear();
    lan.pendingEdits.clear();
    lan.ownerId = 0;
    lan.worldOwner = false;
    lan.requestedPiles.clear();
    entities.mobSnapshots.clear();
    removeCacheDirectory(lan);
    // The start's folder goes too once the App has moved on to another world; while it is still the
    // App's world it goes with the App.
    if (files.world != lan.startupFolder && net::releaseStartupFolder(lan.startupFolder)) lan.startupFolder.clear();
}

void App::updateNetwork() {
    if (!lan.networked) return;
    try {
        const double now = net::linkClock();
        if (lan.connection.connecting && !finishConnect(now)) return;
        net::followDimension(lan, dimension);
        net::appendEditFrames(lan.connection.sendBuffer, lan.pendingEdits, lan.cellsDimension);
        lan.pendingEdits.clear();
        if (lan.ready && now - lan.lastPoseSent >= kPoseInterval) {
            lan.lastPoseSent = now;
            net::appendFrame(lan.connection.sendBuffer,
                             net::LocalPoseMessage{{player.x, player.y, player.z, player.yaw, player.pitch,
                                                    actions.walkSpeed, actions.walkPhase},
                                                   dimension});
        }
        sendWorldSnapshots(now);
        std::vector<net::Message> messages;
        const std::string error = net::exchange(lan.connection.peerSocket, lan.connection.receiveBuffer,
                                                lan.connection.sendBuffer, lan.connection.meter, now, lan.limits,
                                                messages);
        for (net::Message& message : messages) applyNetworkMessage(message);
        if (!error.empty()) throw std::runtime_error("server: " + error);
    } catch (const std::exception& failure) {
        // A failed session never ends the game: one line says why, and the game goes on alone.
        std::ofstream(files.base / "network_error.txt", std::ios::binary | std::ios::app)
            << "LAN session ended: " << failure.what() << "\n";
        const LanFailure phase = lan.connection.connecting ? LanFailure::noConnection
                                 : lan.authenticated       ? LanFailure::lost
                                                           : LanFailure::refused;
        closeSession();
        lan.failure = phase;
        // Said where the player looks: over play, or over the menu the room's world gave way to.
        lan.notice = net::failureWords(lan);
    }
}

bool App::finishConnect(double now) {
    const std::string target = lan.peerAddress + ":" + std::to_string(lan.peerPort);
    switch (platform::pollConnect(lan.connection.peerSocket, 0)) {
        case platform::ConnectState::InProgress:
            if (now - lan.connection.connectStarted > lan.limits.silenceSeconds)
                throw std::runtime_error("cannot connect to " + target + ": no answer");
            return false;
        case platform::ConnectState::Failed:
            throw std::runtime_error("cannot connect to " + target);
        case platform::ConnectState::Connected:
            break;
    }
    lan.connection.connecting = false;
    net::startMeter(lan.connection.meter, now);
    net::appendFrame(lan.connection.sendBuffer,
                     net::HelloMessage{net::kProtocolVersion, lan.contentFingerprint, lan.roomCode, lan.playerName,
                                       lan.identity});
    return true;
}

void App::applyNetworkMessage(net::Message& message) {
    const double arrival = gpu.win ? glfwGetTime() : 0.0;
    if (auto* refusal = std::get_if<net::RefusalMessage>(&message)) {
        lan.refusal = refusal->reason;
        throw std::runtime_error("the server refused to let us in: " + refusal->reason);
    }
    if (auto* welcome = std::get_if<net::WelcomeMessage>(&message)) {
        lan.playerId = welcome->playerId;
        lan.authenticated = lan.started = lan.ready = true;
        return;
    }
    if (!lan.authenticated) throw std::runtime_error("the server spoke before letting us in");
    if (auto* owner = std::get_if<net::OwnerMessage>(&message)) {
        const bool wasOwner = lan.worldOwner;
        lan.ownerId = owner->playerId;
        lan.worldOwner = owner->playerId == lan.playerId;
        if (lan.worldOwner && !wasOwner) net::continueAsOwner(entities);
        return;
    }
    if (auto* event = std::get_if<net::ClientEventMessage>(&message)) return applyClientEvent(*event);
    if (auto* world = std::get_if<net::WorldMessage>(&message)) return storeRoomWorld(*world);
    // Our own world's moving things are never replaced by what comes back.
    if (lan.worldOwner && (std::holds_alternative<net::MobsMessage>(message) ||
                           std::holds_alternative<net::NpcsMessage>(message) ||
                           std::holds_alternative<net::ArrowsMessage>(message) ||
                           std::holds_alternative<net::ItemsMessage>(message)))
        return;
    if (auto* edits = std::get_if<net::BlockEditsMessage>(&message)) {
        applyRemoteEdits(*edits);
    } else if (auto* poses = std::get_if<net::PosesMessage>(&message)) {
        net::applyPoses(lan.remotePoses, *poses, lan.playerId, dimension);
    } else if (auto* chat = std::get_if<net::ChatMessage>(&message)) {
        ui::showChatLine(ui, ui::chatLine(ui::utf8ToUtf32(chat->name), ui::receivedChatText(chat->text)), arrival);
    } else if (auto* players = std::get_if<net::PlayersMessage>(&message)) {
        lan.playerList.clear();
        for (const net::PlayerName& name : players->players) {
            lan.playerList.push_back(name.name);
            if (name.id == lan.playerId) lan.shownName = name.name;
        }
    } else if (auto* mobs = std::get_if<net::MobsMessage>(&message)) {
        net::applyMobs(entities, *mobs);
        entities.lastEntityMessage = arrival;
    } else if (auto* npcs = std::get_if<net::NpcsMessage>(&message)) {
        net::applyNpcs(adventureState.npcPositions, *npcs);
        entities.lastEntityMessage = arrival;
    } else if (auto* arrows = std::get_if<net::ArrowsMessage>(&message)) {
        net::applyArrows(entities, *arrows);
        entities.lastEntityMessage = arrival;
    } else if (auto* items = std::get_if<net::ItemsMessage>(&message)) {
        net::applyItems(entities, *items);
        net::forgetGonePiles(lan.requestedPiles, *items);
        entities.lastDroppedItemMessage = arrival;
    } else {
        throw std::runtime_error("the server sent a message only a guest sends");
    }
}
