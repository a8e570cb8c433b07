// hello-savegame: the least a game does to keep a savegame on the platform. It creates a
// client, writes a savegame, lists the product's savegames and reads the savegame back. Every
// answer arrives from inside VeltoClient::Update, which a game calls once per frame; here a
// loop stands in for the frames. Exit code 0 when the savegame came back as written.

#include <veltoclient/VeltoClient.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

using namespace qz::veltoclient;

namespace {

constexpr unsigned int kProduct = 4242;
constexpr unsigned int kSavegame = 1;

// One object listens for every answer the sample asks for and notes what it got.
struct Answers : IGetSavegameWriterListener,
                 ISavegameWriteListener,
                 IGetSavegameListListener,
                 IGetSavegameReaderListener,
                 ISavegameReadListener {
    bool arrived = false;
    unsigned int result = 0;
    unsigned int bytes = 0;
    SavegameWriter* writer = nullptr;
    SavegameReader* reader = nullptr;

    void OnGetSavegameWriter(unsigned int, unsigned int code, SavegameWriter* opened) override {
        arrived = true, result = code, writer = opened;
    }
    void OnSavegameWrite(unsigned int, unsigned int written) override {
        arrived = true, bytes = written;
    }
    void OnGetSavegameList(unsigned int, SavegameInfo* savegames, unsigned int count) override {
        arrived = true;
        for (unsigned int i = 0; i < count; ++i) {
            std::printf("  savegame %u: %u bytes\n", savegames[i].GetSavegameId(),
                        savegames[i].GetSize());
        }
    }
    void OnGetSavegameReader(unsigned int, unsigned int code, SavegameReader* opened) override {
        arrived = true, result = code, reader = opened;
    }
    void OnSavegameRead(unsigned int, unsigned int read) override { arrived = true, bytes = read; }
};

// Pumps Update until the answer arrives; false after five seconds without one.
bool Await(VeltoClient& client, Answers& answers) {
    for (int frame = 0; frame < 5000 && !answers.arrived; ++frame) {
        client.Update();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const bool arrived = answers.arrived;
    answers.arrived = false;
    return arrived;
}

bool Fail(const char* step) {
    std::printf("hello-savegame: %s failed\n", step);
    return false;
}

bool Run(VeltoClient& client) {
    Answers answers;
    char text[] = "Hello, savegame!";
    const unsigned int size = sizeof text;

    client.GetSavegameWriter(client.GetRequestUniqueId(), &answers, kProduct, kSavegame, true);
    if (!Await(client, answers) || answers.result != 0)
        return Fail("opening a writer");
    unsigned short name[] = {'H', 'e', 'l', 'l', 'o', 0};
    answers.writer->SetName(name);
    answers.writer->Write(client.GetRequestUniqueId(), &answers, text, size);
    if (!Await(client, answers) || answers.bytes != size)
        return Fail("writing");
    answers.writer->Close(true);  // commits: the savegame is kept from here on
    std::printf("wrote savegame %u of product %u\n", kSavegame, kProduct);

    client.GetSavegameList(client.GetRequestUniqueId(), &answers, kProduct);
    if (!Await(client, answers))
        return Fail("listing");

    client.GetSavegameReader(client.GetRequestUniqueId(), &answers, kProduct, kSavegame);
    if (!Await(client, answers) || answers.result != 0)
        return Fail("opening a reader");
    char back[sizeof text] = {};
    answers.reader->Read(client.GetRequestUniqueId(), &answers, 0, back, size);
    if (!Await(client, answers) || answers.bytes != size)
        return Fail("reading");
    answers.reader->Close();
    if (std::memcmp(back, text, size) != 0)
        return Fail("reading back the same bytes");
    std::printf("read it back: \"%s\"\n", back);
    return true;
}

}  // namespace

int main() {
    VeltoClient client;
    if (client.GetInstallationErrorNum() != 0) {
        std::printf("the platform is not available: installation error %u\n",
                    client.GetInstallationErrorNum());
        return 2;
    }
    return Run(client) ? 0 : 1;
}
