// A game built in the MSVC ABI using the development service, built by MinGW, through the
// loader: a savegame written, listed, read back, refused a second time, removed, and the
// traffic that shows it, each answer pumped out of Update as a game does. Run on an empty
// storage directory (VYKARIS_DEVSERVICE_DIR).

#include <veltoclient/VeltoClient.h>

#include <cstring>

#include "Check.h"
#include "ErrorText.h"
#include "GameListeners.h"

namespace qz::msvctest {
namespace {

using veltoclient::VeltoClient;

constexpr unsigned int kProduct = 7;
constexpr unsigned int kSavegame = 1;

// Updates until `answered` has its answer; false when none comes in a reasonable time.
bool Pump(VeltoClient& client, const Answered& answered, unsigned int calls = 1) {
    for (int i = 0; i < 100 && answered.calls < calls; ++i) {
        client.Update();
    }
    return QZ_CHECK_EQ(answered.calls, calls);
}

void WriteSavegame(VeltoClient& client, GameListeners& game) {
    CheckCase("write");
    client.GetSavegameWriter(client.GetRequestUniqueId(), &game, kProduct, kSavegame, false);
    if (!Pump(client, game.writer) || !QZ_CHECK_EQ(game.writer.values[0], 0u)) {
        return;
    }
    unsigned short name[] = {'S', 'l', 'o', 't', 0};
    QZ_CHECK(game.openedWriter->SetName(name));
    char contents[] = "hello";
    game.openedWriter->Write(client.GetRequestUniqueId(), &game, contents, 5);
    if (Pump(client, game.write)) {
        QZ_CHECK_EQ(game.write.values[0], 5u);
    }
    game.openedWriter->Close(true);
}

void ListSavegames(VeltoClient& client, GameListeners& game) {
    CheckCase("list");
    client.GetSavegameList(client.GetRequestUniqueId(), &game, kProduct);
    if (!Pump(client, game.list) || !QZ_CHECK_EQ(game.list.values[0], 1u)) {
        return;
    }
    veltoclient::SavegameInfo& info = game.savegames[0];
    QZ_CHECK_EQ(info.GetProductId(), kProduct);
    QZ_CHECK_EQ(info.GetSavegameId(), kSavegame);
    QZ_CHECK_EQ(info.GetSize(), 5u);
    QZ_CHECK(SameText(info.GetName(), "Slot"));
}

void ReadSavegame(VeltoClient& client, GameListeners& game) {
    CheckCase("read");
    client.GetSavegameReader(client.GetRequestUniqueId(), &game, kProduct, kSavegame);
    if (!Pump(client, game.reader) || !QZ_CHECK_EQ(game.reader.values[0], 0u)) {
        return;
    }
    char buffer[16] = {};
    game.openedReader->Read(client.GetRequestUniqueId(), &game, 1, buffer, sizeof buffer);
    if (Pump(client, game.read)) {
        QZ_CHECK_EQ(game.read.values[0], 4u);
        QZ_CHECK(std::memcmp(buffer, "ello", 4) == 0);
    }
    game.openedReader->Close();
}

void RefuseAndRemove(VeltoClient& client, GameListeners& game) {
    CheckCase("refuse and remove");
    client.GetSavegameWriter(client.GetRequestUniqueId(), &game, kProduct, kSavegame, false);
    if (Pump(client, game.writer, 2)) {
        QZ_CHECK_EQ(game.writer.values[0], 5u);  // already exists
    }
    client.RemoveSavegame(client.GetRequestUniqueId(), &game, kProduct, kSavegame);
    if (Pump(client, game.remove)) {
        QZ_CHECK_EQ(game.remove.values[0], 0u);
    }
    client.RemoveSavegame(client.GetRequestUniqueId(), &game, kProduct, kSavegame);
    if (Pump(client, game.remove, 2)) {
        QZ_CHECK_EQ(game.remove.values[0], 1u);  // no such savegame
    }
    client.GetSavegameReader(client.GetRequestUniqueId(), &game, kProduct, kSavegame);
    if (Pump(client, game.reader, 2)) {
        QZ_CHECK_EQ(game.reader.values[0], 1u);
    }
}

}  // namespace
}  // namespace qz::msvctest

int main() {
    using namespace qz::msvctest;
    CheckCase("bind");
    VeltoClient client;
    if (!QZ_CHECK_EQ(client.GetInstallationErrorNum(), 0u)) {
        return CheckResult();
    }
    GameListeners game;
    client.GetLoginDetails(client.GetRequestUniqueId(), &game);
    if (Pump(client, game.login)) {
        QZ_CHECK_EQ(game.login.values[0], 0u);
        QZ_CHECK_EQ(game.login.values[1], 1u);  // the development account
    }
    client.GetVeltoServer(client.GetRequestUniqueId(), &game, 1, 2);
    if (Pump(client, game.server)) {
        QZ_CHECK_EQ(game.server.values[0], 0u);
    }
    WriteSavegame(client, game);
    ListSavegames(client, game);
    ReadSavegame(client, game);
    RefuseAndRemove(client, game);

    CheckCase("traffic");
    client.GetNetworkTraffic(client.GetRequestUniqueId(), &game);
    if (Pump(client, game.traffic)) {
        QZ_CHECK_EQ(game.traffic.values[0], 4u);  // savegame bytes read
        QZ_CHECK_EQ(game.traffic.values[1], 5u);  // savegame bytes written
    }
    return CheckResult();
}
