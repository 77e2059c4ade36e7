// The server program's command line at each of its edges.
#include "server/server_arguments.h"

#include <gtest/gtest.h>

#include "net/protocol.h"

namespace {

TEST(ServerArguments, PortRoomCodeAndCountAreCheckedAtTheirEdges) {
    struct Row {
        std::vector<std::string> arguments;  // after the program's name
        int port;                            // -1: refused
    };
    const std::string longest(net::kMaxRoomCode, '7');
    const Row rows[] = {
        {{"29810", "40617395"}, 29810},
        {{"0", "40617395"}, 0},
        {{"65535", "40617395"}, 65535},
        {{"65536", "40617395"}, -1},
        {{"99999", "40617395"}, -1},
        {{"4294967296", "40617395"}, -1},
        {{"", "40617395"}, -1},
        {{"-1", "40617395"}, -1},
        {{"+1", "40617395"}, -1},
        {{"80x", "40617395"}, -1},
        {{"29810", longest}, 29810},
        {{"29810", longest + "7"}, -1},
        {{"29810", ""}, -1},
        {{"29810"}, -1},
        {{"29810", "7", "/srv/pack"}, 29810},
        {{"29810", "7", "/srv/pack", "more"}, -1},
        {{"--serve", "29810", "40617395"}, 29810},
        {{"--serve", "29810", "7", "/srv/pack"}, 29810},
        {{"--serve", "29810"}, -1},
        {{"--serve", "29810", "7", "/srv/pack", "more"}, -1},
        {{"--serve", "--serve", "29810", "7"}, -1},
        {{"--serve"}, -1},
    };
    for (const Row& row : rows) {
        std::vector<std::string> texts{"quorvane-server"};
        texts.insert(texts.end(), row.arguments.begin(), row.arguments.end());
        std::vector<char*> argv;
        for (std::string& text : texts) argv.push_back(text.data());
        const auto parsed = net::parseServerArguments(static_cast<int>(argv.size()), argv.data());
        const std::string name = row.arguments[0] + " " + std::to_string(row.arguments.size());
        ASSERT_EQ(parsed.has_value(), row.port >= 0) << name;
        if (!parsed) continue;
        const std::size_t first = row.arguments[0] == "--serve" ? 1 : 0;
        EXPECT_EQ(parsed->port, row.port) << name;
        EXPECT_EQ(parsed->roomCode, row.arguments[first + 1]) << name;
        EXPECT_EQ(parsed->contentFolder, row.arguments.size() == first + 3 ? "/srv/pack" : "Content") << name;
    }
}

}  // namespace
