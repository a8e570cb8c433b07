// The demo game: everything a game does with the platform, step by step, with readable output.
//
//   veltoclient_demo [--locale <code>] [--product <id>]
//
// It reports the installation error, asks for the login details, lists the product's
// savegames, updates a progress savegame that the next run finds again, writes a scratch
// savegame, finds it in the list, reads it back byte for byte and removes it, and shows the
// network traffic. Exit code 0 when every step worked, 1 when a step failed, 2 when the platform
// is not available.

#include <veltoclient/VeltoClient.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Answers.h"
#include "Pump.h"
#include "Text.h"

namespace {

using qz::veltoclient::SavegameInfo;
using qz::veltoclient::SavegameReader;
using qz::veltoclient::SavegameWriter;
using qz::veltoclient::VeltoClient;

constexpr unsigned int kProgressSavegame = 1;
constexpr unsigned int kScratchSavegame = 2;
constexpr unsigned int kScratchSize = 100000;  // more than one write and one read
constexpr unsigned int kChunk = 32768;

struct Options {
    const char* locale = "en-US";
    unsigned int product = 4242;
};

const char* ResultName(unsigned int result) {
    switch (result) {
        case 0:
            return "done";
        case 1:
            return "no such savegame";
        case 2:
            return "invalid request";
        case 3:
            return "storage failure";
        case 4:
            return "in use";
        case 5:
            return "already exists";
        default:
            return "unknown result";
    }
}

class Demo {
public:
    Demo(VeltoClient& client, const Options& options) : client(client), options(options) {}

    bool Login();
    bool ShowSavegames();
    bool UpdateProgress();
    bool RoundTripScratch();
    bool ShowTraffic();

    unsigned int failures = 0;

private:
    // Prints the outcome of one step; false steps count as failures.
    bool Step(bool worked, const char* what) {
        if (!worked) {
            std::printf("  FAILED: %s\n", what);
            ++failures;
        }
        return worked;
    }
    bool Wait(const bool& answered, const char* what) {
        return Step(demo::PumpUntil(client, &answered), what);
    }

    bool List(demo::ListAnswer& answer);
    static SavegameInfo* Find(const demo::ListAnswer& list, unsigned int savegameId);
    bool Write(unsigned int savegameId, const char* name, const unsigned char* bytes,
               unsigned int size);
    // Reads the whole savegame into `out` (`capacity` bytes); false when it cannot be opened.
    bool Read(unsigned int savegameId, unsigned char* out, unsigned int capacity,
              unsigned int* size, bool quiet);
    bool Remove(unsigned int savegameId);

    VeltoClient& client;
    const Options& options;
};

bool Demo::Login() {
    demo::LoginAnswer answer;
    client.GetLoginDetails(client.GetRequestUniqueId(), &answer);
    if (!Wait(answer.answered, "no answer to the login details request")) {
        return false;
    }
    std::printf("login details: %u %u %u (account id %u)\n", answer.values[0], answer.values[1],
                answer.values[2], answer.values[1]);
    return true;
}

bool Demo::List(demo::ListAnswer& answer) {
    client.GetSavegameList(client.GetRequestUniqueId(), &answer, options.product);
    return Wait(answer.answered, "no answer to the savegame list request");
}

SavegameInfo* Demo::Find(const demo::ListAnswer& list, unsigned int savegameId) {
    for (unsigned int i = 0; i < list.count; ++i) {
        if (list.savegames[i].GetSavegameId() == savegameId) {
            return &list.savegames[i];
        }
    }
    return nullptr;
}

bool Demo::ShowSavegames() {
    demo::ListAnswer list;
    if (!List(list)) {
        return false;
    }
    std::printf("savegames of product %u: %u\n", options.product, list.count);
    for (unsigned int i = 0; i < list.count; ++i) {
        SavegameInfo& info = list.savegames[i];
        char name[1024];
        demo::ToUtf8(info.GetName(), name, sizeof name);
        std::printf("  #%u  %u bytes  \"%s\"\n", info.GetSavegameId(), info.GetSize(), name);
    }
    return true;
}

bool Demo::Write(unsigned int savegameId, const char* name, const unsigned char* bytes,
                 unsigned int size) {
    demo::WriterAnswer opened;
    client.GetSavegameWriter(client.GetRequestUniqueId(), &opened, options.product, savegameId,
                             true);
    if (!Wait(opened.answered, "no answer to the savegame writer request")) {
        return false;
    }
    if (opened.result != 0) {
        std::printf("  writer for savegame #%u: %s (%u)\n", savegameId, ResultName(opened.result),
                    opened.result);
        return Step(false, "could not open the savegame for writing");
    }
    SavegameWriter& writer = *opened.writer;
    unsigned short wideName[256];
    demo::FromAscii(name, wideName, 256);
    bool worked = Step(writer.SetName(wideName), "the service refused the savegame's name");
    for (unsigned int done = 0; worked && done < size;) {
        const unsigned int piece = size - done < kChunk ? size - done : kChunk;
        demo::WriteAnswer written;
        writer.Write(client.GetRequestUniqueId(), &written,
                     const_cast<unsigned char*>(bytes + done), piece);
        worked = Wait(written.answered, "no answer to a savegame write") &&
                 Step(written.bytes == piece, "a savegame write took fewer bytes than given");
        done += piece;
    }
    // Commit only a complete savegame; anything less is discarded and the old version stays.
    writer.Close(worked);
    return worked;
}

bool Demo::Read(unsigned int savegameId, unsigned char* out, unsigned int capacity,
                unsigned int* size, bool quiet) {
    demo::ReaderAnswer opened;
    client.GetSavegameReader(client.GetRequestUniqueId(), &opened, options.product, savegameId);
    if (!Wait(opened.answered, "no answer to the savegame reader request")) {
        return false;
    }
    if (opened.result != 0) {
        if (!quiet) {
            std::printf("  reader for savegame #%u: %s (%u)\n", savegameId,
                        ResultName(opened.result), opened.result);
            Step(false, "could not open the savegame for reading");
        }
        return false;
    }
    SavegameReader& reader = *opened.reader;
    unsigned int done = 0;
    bool worked = true;
    for (;;) {
        const unsigned int room = capacity - done < kChunk ? capacity - done : kChunk;
        demo::ReadAnswer read;
        reader.Read(client.GetRequestUniqueId(), &read, done, out + done, room);
        if (!Wait(read.answered, "no answer to a savegame read")) {
            worked = false;
            break;
        }
        done += read.bytes;
        if (read.bytes == 0 || done == capacity) {
            break;
        }
    }
    reader.Close();
    *size = done;
    return worked;
}

bool Demo::Remove(unsigned int savegameId) {
    demo::RemoveAnswer removed;
    client.RemoveSavegame(client.GetRequestUniqueId(), &removed, options.product, savegameId);
    if (!Wait(removed.answered, "no answer to the remove request")) {
        return false;
    }
    std::printf("removed savegame #%u: %s\n", savegameId, ResultName(removed.result));
    return Step(removed.result == 0, "the savegame could not be removed");
}

// The progress savegame holds "runs=N": each run reads it and writes N + 1, so a second run
// shows the first one's savegame.
bool Demo::UpdateProgress() {
    unsigned char bytes[64] = {};
    unsigned int size = 0;
    unsigned long runs = 0;
    if (Read(kProgressSavegame, bytes, sizeof bytes - 1, &size, true)) {
        bytes[size] = '\0';
        const char* text = reinterpret_cast<const char*>(bytes);
        if (std::strncmp(text, "runs=", 5) == 0) {
            runs = std::strtoul(text + 5, nullptr, 10);
        }
        std::printf("progress savegame #%u found: %lu earlier run(s)\n", kProgressSavegame, runs);
    } else {
        std::printf("progress savegame #%u not found: this is the first run\n", kProgressSavegame);
    }
    char text[64];
    const int length = std::snprintf(text, sizeof text, "runs=%lu\n", runs + 1);
    if (!Write(kProgressSavegame, "Demo progress", reinterpret_cast<unsigned char*>(text),
               static_cast<unsigned int>(length))) {
        return false;
    }
    std::printf("progress savegame #%u written: run %lu\n", kProgressSavegame, runs + 1);
    return true;
}

bool Demo::RoundTripScratch() {
    unsigned char* const pattern = new unsigned char[kScratchSize];
    unsigned char* const back = new unsigned char[kScratchSize + 1];
    for (unsigned int i = 0; i < kScratchSize; ++i) {
        pattern[i] = static_cast<unsigned char>((i * 131u + 7u) ^ (i >> 8));
    }
    bool worked = Write(kScratchSavegame, "Demo scratch", pattern, kScratchSize);
    if (worked) {
        std::printf("scratch savegame #%u written: %u bytes\n", kScratchSavegame, kScratchSize);
        demo::ListAnswer list;
        worked = List(list);
        SavegameInfo* found = worked ? Find(list, kScratchSavegame) : nullptr;
        worked = worked && Step(found != nullptr, "the scratch savegame is not in the list");
        if (worked) {
            SavegameInfo& info = *found;
            char name[1024];
            demo::ToUtf8(info.GetName(), name, sizeof name);
            std::printf("scratch savegame listed: %u bytes, \"%s\"\n", info.GetSize(), name);
            worked = Step(info.GetSize() == kScratchSize, "the listed size is wrong") &&
                     Step(std::strcmp(name, "Demo scratch") == 0, "the listed name is wrong");
        }
    }
    if (worked) {
        unsigned int size = 0;
        worked = Read(kScratchSavegame, back, kScratchSize + 1, &size, false) &&
                 Step(size == kScratchSize && std::memcmp(back, pattern, kScratchSize) == 0,
                      "the savegame read back differs from what was written");
        if (worked) {
            std::printf("scratch savegame read back: %u bytes, identical\n", size);
        }
    }
    if (worked) {
        demo::ListAnswer list;
        worked =
            Remove(kScratchSavegame) && List(list) &&
            Step(Find(list, kScratchSavegame) == nullptr, "the removed savegame is still listed");
    }
    delete[] back;
    delete[] pattern;
    return worked;
}

bool Demo::ShowTraffic() {
    demo::TrafficAnswer answer;
    client.GetNetworkTraffic(client.GetRequestUniqueId(), &answer);
    if (!Wait(answer.answered, "no answer to the network traffic request")) {
        return false;
    }
    std::printf("network traffic: %u bytes read, %u bytes written, %u requests, %u answers\n",
                answer.values[0], answer.values[1], answer.values[2], answer.values[3]);
    return true;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--locale") == 0 && i + 1 < argc) {
            options.locale = argv[++i];
        } else if (std::strcmp(argv[i], "--product") == 0 && i + 1 < argc) {
            char* end = nullptr;
            options.product = static_cast<unsigned int>(std::strtoul(argv[++i], &end, 10));
            if (end == argv[i] || *end != '\0') {
                std::fprintf(stderr, "veltoclient_demo: --product needs a number\n");
                return false;
            }
        } else {
            std::fprintf(stderr, "usage: veltoclient_demo [--locale <code>] [--product <id>]\n");
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        return 64;
    }
    demo::UseUtf8Terminal();
    // Line by line, so that a terminal or a log sees each step as it happens.
    std::setvbuf(stdout, nullptr, _IOLBF, 1024);

    VeltoClient client;
    const unsigned int error = client.GetInstallationErrorNum();
    std::printf("installation error: %u\n", error);
    if (error != 0) {
        char text[4096];
        demo::ToUtf8(client.GetInstallationErrorString(options.locale), text, sizeof text);
        std::printf("%s\n", text);
        std::printf("demo: the platform is not available (installation error %u)\n", error);
        return 2;
    }

    Demo demo(client, options);
    demo.Login();
    demo.ShowSavegames();
    demo.UpdateProgress();
    demo.RoundTripScratch();
    demo.ShowSavegames();
    demo.ShowTraffic();
    if (demo.failures != 0) {
        std::printf("demo: %u step(s) failed\n", demo.failures);
        return 1;
    }
    std::printf("demo: every step worked\n");
    return 0;
}
