#pragma once

// Game-side listeners that remember every answer they get, as a game built by Microsoft's
// compiler implements them.

#include <veltoclient/VeltoClient.h>

namespace qz::msvctest {

/// What one listener was told: how often, and the values of the last answer.
struct Answered {
    unsigned int calls = 0;
    unsigned int requestId = 0;
    unsigned int values[4] = {};
};

struct GameListeners : veltoclient::IGetLoginDetailsListener,
                       veltoclient::IGetVeltoServerListener,
                       veltoclient::IGetSavegameReaderListener,
                       veltoclient::IGetSavegameWriterListener,
                       veltoclient::IGetSavegameListListener,
                       veltoclient::IRemoveSavegameListener,
                       veltoclient::IGetNetworkTrafficListener,
                       veltoclient::ISavegameReadListener,
                       veltoclient::ISavegameWriteListener {
    Answered login, server, reader, writer, list, remove, traffic, read, write;
    veltoclient::SavegameReader* openedReader = nullptr;
    veltoclient::SavegameWriter* openedWriter = nullptr;
    veltoclient::SavegameInfo* savegames = nullptr;

    void OnGetLoginDetails(unsigned int id, unsigned int a, unsigned int b,
                           unsigned int c) override {
        Note(login, id, a, b, c);
    }
    void OnGetVeltoServer(unsigned int id, unsigned int a) override { Note(server, id, a); }
    void OnGetSavegameReader(unsigned int id, unsigned int result,
                             veltoclient::SavegameReader* opened) override {
        Note(reader, id, result);
        openedReader = opened;
    }
    void OnGetSavegameWriter(unsigned int id, unsigned int result,
                             veltoclient::SavegameWriter* opened) override {
        Note(writer, id, result);
        openedWriter = opened;
    }
    void OnGetSavegameList(unsigned int id, veltoclient::SavegameInfo* infos,
                           unsigned int count) override {
        Note(list, id, count);
        savegames = infos;
    }
    void OnRemoveSavegame(unsigned int id, unsigned int result) override {
        Note(remove, id, result);
    }
    void OnGetNetworkTraffic(unsigned int id, unsigned int a, unsigned int b, unsigned int c,
                             unsigned int d) override {
        Note(traffic, id, a, b, c, d);
    }
    void OnSavegameRead(unsigned int id, unsigned int bytes) override { Note(read, id, bytes); }
    void OnSavegameWrite(unsigned int id, unsigned int bytes) override { Note(write, id, bytes); }

private:
    static void Note(Answered& answered, unsigned int id, unsigned int a = 0, unsigned int b = 0,
                     unsigned int c = 0, unsigned int d = 0) {
        ++answered.calls;
        answered.requestId = id;
        answered.values[0] = a;
        answered.values[1] = b;
        answered.values[2] = c;
        answered.values[3] = d;
    }
};

}  // namespace qz::msvctest
