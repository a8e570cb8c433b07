#pragma once

// A game-side listener for every request kind that records each answer it receives, for the
// tests that drive the loader end to end.

#include <functional>
#include <vector>

#include "veltoclient/VeltoClient.h"

namespace qz::veltoclient::test {

/// Request kinds in their fixed order (the fake service library numbers them the same way).
enum Kind {
    kLoginDetails,
    kVeltoServer,
    kSavegameReader,
    kSavegameWriter,
    kSavegameList,
    kRemoveSavegame,
    kNetworkTraffic,
    kKindCount
};

/// One answer as the game saw it.
struct Received {
    Kind kind;
    unsigned int requestId;
    unsigned int values[4];
    SavegameReader* reader;
    SavegameWriter* writer;
    SavegameInfo* savegames;
    unsigned int count;
};

/// The game owns the handle objects an answer hands it but has no way to destroy them; the
/// tests keep them reachable for the whole process so that leak checking stays meaningful for
/// everything else.
inline void KeepDelivered(const void* object) {
    static std::vector<const void*>* kept = new std::vector<const void*>;
    kept->push_back(object);
}

class RecordingListener : public IGetLoginDetailsListener,
                          public IGetVeltoServerListener,
                          public IGetSavegameReaderListener,
                          public IGetSavegameWriterListener,
                          public IGetSavegameListListener,
                          public IRemoveSavegameListener,
                          public IGetNetworkTrafficListener {
public:
    std::vector<Received> received;
    /// Runs after an answer is recorded, from inside the callback (for re-entrant requests).
    std::function<void(const Received&)> then;

    void OnGetLoginDetails(unsigned int requestId, unsigned int a, unsigned int b,
                           unsigned int c) override {
        Record({kLoginDetails, requestId, {a, b, c, 0}, nullptr, nullptr, nullptr, 0});
    }
    void OnGetVeltoServer(unsigned int requestId, unsigned int a) override {
        Record({kVeltoServer, requestId, {a, 0, 0, 0}, nullptr, nullptr, nullptr, 0});
    }
    void OnGetSavegameReader(unsigned int requestId, unsigned int a,
                             SavegameReader* reader) override {
        KeepDelivered(reader);
        Record({kSavegameReader, requestId, {a, 0, 0, 0}, reader, nullptr, nullptr, 0});
    }
    void OnGetSavegameWriter(unsigned int requestId, unsigned int a,
                             SavegameWriter* writer) override {
        KeepDelivered(writer);
        Record({kSavegameWriter, requestId, {a, 0, 0, 0}, nullptr, writer, nullptr, 0});
    }
    void OnGetSavegameList(unsigned int requestId, SavegameInfo* savegames,
                           unsigned int count) override {
        KeepDelivered(savegames);
        Record({kSavegameList, requestId, {0, 0, 0, 0}, nullptr, nullptr, savegames, count});
    }
    void OnRemoveSavegame(unsigned int requestId, unsigned int a) override {
        Record({kRemoveSavegame, requestId, {a, 0, 0, 0}, nullptr, nullptr, nullptr, 0});
    }
    void OnGetNetworkTraffic(unsigned int requestId, unsigned int a, unsigned int b, unsigned int c,
                             unsigned int d) override {
        Record({kNetworkTraffic, requestId, {a, b, c, d}, nullptr, nullptr, nullptr, 0});
    }

private:
    void Record(const Received& answer) {
        received.push_back(answer);
        if (then) {
            then(answer);
        }
    }
};

}  // namespace qz::veltoclient::test
