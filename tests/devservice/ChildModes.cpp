#include "ChildModes.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

#include "ChildProcess.h"

namespace qz::devservice::test {

namespace {

unsigned int Number(const char* text) {
    return static_cast<unsigned int>(std::strtoul(text, nullptr, 10));
}

int WriteChild(char** argv) {
    const unsigned int seed = Number(argv[5]);
    DevGame game;
    const std::string name = "version " + std::to_string(seed);
    if (!game.Save(Number(argv[2]), Number(argv[3]), Pattern(Number(argv[4]), seed),
                   AsName(name.c_str()))) {
        return 2;
    }
    std::ofstream marker(argv[6]);
    return marker.good() ? 0 : 3;
}

int DumpChild(char** argv) {
    DevGame game;
    const unsigned int productId = Number(argv[2]);
    std::ofstream output(argv[3]);
    for (const Listed& listed : game.List(productId)) {
        Bytes data;
        if (!game.Load(productId, listed.savegameId, data)) {
            return 2;
        }
        output << listed.savegameId << ' ' << listed.size << ' ' << Hash(data) << '\n';
    }
    return output.good() ? 0 : 3;
}

// Opens a writer, writes a little, makes the marker and waits to be killed with the writer
// open.
int HoldChild(char** argv) {
    DevGame game;
    const Answer writer = game.OpenWriter(Number(argv[2]), Number(argv[3]), true);
    const Bytes data = Pattern(1000, 7);
    if (writer.values[0] != 0 || game.Write(writer.writer, data.data(), 1000) != 1000) {
        return 2;
    }
    { std::ofstream marker(argv[4]); }
    std::this_thread::sleep_for(std::chrono::seconds(120));
    return 0;
}

int ScriptChild(char** argv) {
    const unsigned int productId = Number(argv[2]);
    DevGame game;
    for (unsigned int savegameId = 1; savegameId <= 6; ++savegameId) {
        const std::string name = "slot " + std::to_string(savegameId);
        game.Save(productId, savegameId, Pattern(100 * savegameId, savegameId),
                  AsName(name.c_str()), 128);
    }
    for (unsigned int round = 0; round < 4; ++round) {
        for (const Listed& listed : game.List(productId)) {
            Bytes data;
            game.Load(productId, listed.savegameId, data);
        }
        for (int i = 0; i < 5; ++i) {
            unsigned int id = game.client.GetRequestUniqueId();
            game.client.GetLoginDetails(id, &game);
            game.Arrives(id, 3);
            id = game.client.GetRequestUniqueId();
            game.client.GetVeltoServer(id, &game, round, static_cast<unsigned int>(i));
            game.Arrives(id, 3);
        }
        game.Remove(productId, round + 1);
    }
    const unsigned int id = game.client.GetRequestUniqueId();
    game.client.GetNetworkTraffic(id, &game);
    game.Arrives(id, 3);
    return 0;
}

}  // namespace

bool IsChildMode(int argc, char** argv) {
    return argc >= 2 && std::strncmp(argv[1], "--child-", 8) == 0;
}

int RunChildMode(int argc, char** argv) {
    if (std::strcmp(argv[1], "--child-write") == 0 && argc == 7) {
        return WriteChild(argv);
    }
    if (std::strcmp(argv[1], "--child-dump") == 0 && argc == 4) {
        return DumpChild(argv);
    }
    if (std::strcmp(argv[1], "--child-hold") == 0 && argc == 5) {
        return HoldChild(argv);
    }
    if (std::strcmp(argv[1], "--child-script") == 0 && argc == 3) {
        return ScriptChild(argv);
    }
    if (std::strcmp(argv[1], "--child-installation-error") == 0 && argc == 2) {
        return static_cast<int>(veltoclient::VeltoClient().GetInstallationErrorNum());
    }
    std::fprintf(stderr, "unknown child mode\n");
    return 1;
}

int InstallationErrorInFreshProcess() {
    return RunChild({"--child-installation-error"});
}

unsigned long long Hash(const Bytes& bytes) {
    unsigned long long hash = 14695981039346656037ull;
    for (const unsigned char byte : bytes) {
        hash = (hash ^ byte) * 1099511628211ull;
    }
    return hash;
}

bool ScriptInFreshProcess(unsigned int productId, const std::string& log) {
    SetEnvironment("VYKARIS_DEVSERVICE_LOG", log);
    return RunChild({"--child-script", std::to_string(productId)}) == 0;
}

bool DumpInFreshProcess(unsigned int productId, const std::string& output,
                        std::vector<Dumped>& dumped) {
    std::remove(output.c_str());
    if (RunChild({"--child-dump", std::to_string(productId), output}) != 0) {
        return false;
    }
    dumped.clear();
    std::ifstream input(output);
    Dumped line;
    while (input >> line.savegameId >> line.size >> line.hash) {
        dumped.push_back(line);
    }
    return true;
}

}  // namespace qz::devservice::test
