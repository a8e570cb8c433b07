#pragma once

#include <veltoclient/VeltoClient.h>

namespace demo {

// One listener per kind of answer, each keeping what its last answer said; `answered` turns
// true when it arrives. A game would route answers to its own objects the same way.

struct LoginAnswer : qz::veltoclient::IGetLoginDetailsListener {
    bool answered = false;
    unsigned int values[3] = {};
    void OnGetLoginDetails(unsigned int, unsigned int value1, unsigned int value2,
                           unsigned int value3) override {
        values[0] = value1;
        values[1] = value2;
        values[2] = value3;
        answered = true;
    }
};

struct ServerAnswer : qz::veltoclient::IGetVeltoServerListener {
    bool answered = false;
    unsigned int value = 0;
    void OnGetVeltoServer(unsigned int, unsigned int answerValue) override {
        value = answerValue;
        answered = true;
    }
};

struct ListAnswer : qz::veltoclient::IGetSavegameListListener {
    bool answered = false;
    qz::veltoclient::SavegameInfo* savegames = nullptr;
    unsigned int count = 0;
    void OnGetSavegameList(unsigned int, qz::veltoclient::SavegameInfo* list,
                           unsigned int listCount) override {
        savegames = list;
        count = listCount;
        answered = true;
    }
};

struct ReaderAnswer : qz::veltoclient::IGetSavegameReaderListener {
    bool answered = false;
    unsigned int result = 0;
    qz::veltoclient::SavegameReader* reader = nullptr;
    void OnGetSavegameReader(unsigned int, unsigned int answerResult,
                             qz::veltoclient::SavegameReader* answerReader) override {
        result = answerResult;
        reader = answerReader;
        answered = true;
    }
};

struct WriterAnswer : qz::veltoclient::IGetSavegameWriterListener {
    bool answered = false;
    unsigned int result = 0;
    qz::veltoclient::SavegameWriter* writer = nullptr;
    void OnGetSavegameWriter(unsigned int, unsigned int answerResult,
                             qz::veltoclient::SavegameWriter* answerWriter) override {
        result = answerResult;
        writer = answerWriter;
        answered = true;
    }
};

struct RemoveAnswer : qz::veltoclient::IRemoveSavegameListener {
    bool answered = false;
    unsigned int result = 0;
    void OnRemoveSavegame(unsigned int, unsigned int answerResult) override {
        result = answerResult;
        answered = true;
    }
};

struct TrafficAnswer : qz::veltoclient::IGetNetworkTrafficListener {
    bool answered = false;
    unsigned int values[4] = {};
    void OnGetNetworkTraffic(unsigned int, unsigned int bytesRead, unsigned int bytesWritten,
                             unsigned int requests, unsigned int answers) override {
        values[0] = bytesRead;
        values[1] = bytesWritten;
        values[2] = requests;
        values[3] = answers;
        answered = true;
    }
};

struct ReadAnswer : qz::veltoclient::ISavegameReadListener {
    bool answered = false;
    unsigned int bytes = 0;
    void OnSavegameRead(unsigned int, unsigned int bytesRead) override {
        bytes = bytesRead;
        answered = true;
    }
};

struct WriteAnswer : qz::veltoclient::ISavegameWriteListener {
    bool answered = false;
    unsigned int bytes = 0;
    void OnSavegameWrite(unsigned int, unsigned int bytesWritten) override {
        bytes = bytesWritten;
        answered = true;
    }
};

}  // namespace demo
