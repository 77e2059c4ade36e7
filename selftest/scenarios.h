#pragma once
// Scripted scenarios that drive the game code and write logs ("_OK: " / "FAILED: ") and captures.
#include <filesystem>
#include <string>

struct App;

namespace selftest {

using Path = std::filesystem::path;

// Scenarios that build their own App.
int ui(const Path& a, const Path& b);
int inventory(const Path& a, const Path& b);
int expedition(const Path& a, const Path& b);
int map(const Path& a, const Path& b);
int sky(const Path& a, const Path& b);
int frost(const Path& a, const Path& b);
int held(const Path& a, const Path& b);
int boss(const Path& a, const Path& b);
int ai(const Path& a, const Path& b);
int chat(const Path& a, const Path& b);
int dimensions(const Path& a, const Path& b);
int skills(const Path& a, const Path& b);
int quest(const Path& a, const Path& b);
int mapClients(const Path& a, const Path& b, const Path& c);
int motion(const Path& a, const Path& b, const Path& c);
int dimensionClients(const Path& a, const Path& b, const Path& c);
int performance(const Path& out);
int rpg(const Path& out);
int combat(const Path& out);
int shared(const Path& out);
int dedicated(const Path& out);
int lan(const Path& out);

// Scenarios that run on the started App.
int uiRender(App& app);
int inventoryRender(App& app);
int expeditionRender(App& app);
int mapRender(App& app);
int skyRender(App& app);
int frostRender(App& app);
int motionRender(App& app);
int heldRender(App& app);
int bossRender(App& app);
int chatRender(App& app);
int dimensionsRender(App& app);
// The LAN interface capture sequence; its failures reach the caller.
int lanRender(App& app);

// Sets the App's capture path, draws one frame and reports whether the PNG was written.
bool captureFrame(App& app, const Path& png);

}  // namespace selftest
