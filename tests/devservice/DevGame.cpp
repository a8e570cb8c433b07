#include "DevGame.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace qz::devservice::test {

namespace {

// The game owns the handle objects an answer hands it but has no way to destroy them; they
// stay reachable for the whole process so that leak checking stays meaningful for the rest.
void Keep(const void* object) {
    static auto* kept = new std::vector<const void*>;
    kept->push_back(object);
}

}  // namespace

Answer DevGame::Await(unsigned int requestId, unsigned int updates) {
    if (Arrives(requestId, updates)) {
        for (const Answer& answer : answers) {
            if (answer.requestId == requestId) {
                return answer;
            }
        }
    }
    ADD_FAILURE() << "no answer to request " << requestId;
    return Answer{Kind::kLogin, requestId, {0xDEAD, 0, 0, 0}, nullptr, nullptr, nullptr};
}

bool DevGame::Arrives(unsigned int requestId, unsigned int updates) {
    for (unsigned int i = 0; i <= updates; ++i) {
        for (const Answer& answer : answers) {
            if (answer.requestId == requestId) {
                return true;
            }
        }
        client.Update();
    }
    return false;
}

Answer DevGame::OpenWriter(unsigned int productId, unsigned int savegameId, bool overwrite) {
    const unsigned int id = client.GetRequestUniqueId();
    client.GetSavegameWriter(id, this, productId, savegameId, overwrite);
    return Await(id);
}

Answer DevGame::OpenReader(unsigned int productId, unsigned int savegameId) {
    const unsigned int id = client.GetRequestUniqueId();
    client.GetSavegameReader(id, this, productId, savegameId);
    return Await(id);
}

unsigned int DevGame::Remove(unsigned int productId, unsigned int savegameId) {
    const unsigned int id = client.GetRequestUniqueId();
    client.RemoveSavegame(id, this, productId, savegameId);
    return Await(id).values[0];
}

std::vector<Listed> DevGame::List(unsigned int productId) {
    const unsigned int id = client.GetRequestUniqueId();
    client.GetSavegameList(id, this, productId);
    const Answer answer = Await(id);
    std::vector<Listed> listed;
    for (unsigned int i = 0; i < answer.values[0]; ++i) {
        veltoclient::SavegameInfo& info = answer.savegames[i];
        Listed entry{info.GetProductId(), info.GetSavegameId(), info.GetSize(), {}};
        const unsigned short* name = info.GetName();
        for (; name != nullptr && *name != 0; ++name) {
            entry.name.push_back(*name);
        }
        listed.push_back(entry);
    }
    return listed;
}

unsigned int DevGame::Write(veltoclient::SavegameWriter* writer, const void* data,
                            unsigned int size) {
    const unsigned int id = client.GetRequestUniqueId();
    writer->Write(id, this, const_cast<void*>(data), size);
    return Await(id).values[0];
}

unsigned int DevGame::Read(veltoclient::SavegameReader* reader, unsigned int offset, void* buffer,
                           unsigned int size) {
    const unsigned int id = client.GetRequestUniqueId();
    reader->Read(id, this, offset, buffer, size);
    return Await(id).values[0];
}

bool DevGame::Save(unsigned int productId, unsigned int savegameId, const Bytes& data,
                   const Name& name, unsigned int chunk) {
    const Answer opened = OpenWriter(productId, savegameId, true);
    if (opened.values[0] != 0) {
        return false;
    }
    bool written = true;
    if (!name.empty()) {
        written = opened.writer->SetName(Terminated(name).data());
    }
    for (std::size_t at = 0; at < data.size() && written; at += chunk) {
        const auto size = static_cast<unsigned int>(std::min<std::size_t>(chunk, data.size() - at));
        written = Write(opened.writer, data.data() + at, size) == size;
    }
    opened.writer->Close(written);
    return written;
}

bool DevGame::Load(unsigned int productId, unsigned int savegameId, Bytes& data) {
    const Answer opened = OpenReader(productId, savegameId);
    if (opened.values[0] != 0) {
        return false;
    }
    data.clear();
    unsigned char chunk[65536];
    for (;;) {
        const auto offset = static_cast<unsigned int>(data.size());
        const unsigned int got = Read(opened.reader, offset, chunk, sizeof chunk);
        if (got == 0) {
            break;
        }
        data.insert(data.end(), chunk, chunk + got);
    }
    opened.reader->Close();
    return true;
}

void DevGame::OnGetLoginDetails(unsigned int requestId, unsigned int a, unsigned int b,
                                unsigned int c) {
    Record({Kind::kLogin, requestId, {a, b, c, 0}, nullptr, nullptr, nullptr});
}

void DevGame::OnGetVeltoServer(unsigned int requestId, unsigned int a) {
    Record({Kind::kServer, requestId, {a, 0, 0, 0}, nullptr, nullptr, nullptr});
}

void DevGame::OnGetSavegameReader(unsigned int requestId, unsigned int a,
                                  veltoclient::SavegameReader* reader) {
    Keep(reader);
    Record({Kind::kReader, requestId, {a, 0, 0, 0}, reader, nullptr, nullptr});
}

void DevGame::OnGetSavegameWriter(unsigned int requestId, unsigned int a,
                                  veltoclient::SavegameWriter* writer) {
    Keep(writer);
    Record({Kind::kWriter, requestId, {a, 0, 0, 0}, nullptr, writer, nullptr});
}

void DevGame::OnGetSavegameList(unsigned int requestId, veltoclient::SavegameInfo* savegames,
                                unsigned int count) {
    Keep(savegames);
    Record({Kind::kList, requestId, {count, 0, 0, 0}, nullptr, nullptr, savegames});
}

void DevGame::OnRemoveSavegame(unsigned int requestId, unsigned int a) {
    Record({Kind::kRemove, requestId, {a, 0, 0, 0}, nullptr, nullptr, nullptr});
}

void DevGame::OnGetNetworkTraffic(unsigned int requestId, unsigned int a, unsigned int b,
                                  unsigned int c, unsigned int d) {
    Record({Kind::kTraffic, requestId, {a, b, c, d}, nullptr, nullptr, nullptr});
}

void DevGame::OnSavegameRead(unsigned int requestId, unsigned int bytesRead) {
    Record({Kind::kRead, requestId, {bytesRead, 0, 0, 0}, nullptr, nullptr, nullptr});
}

void DevGame::OnSavegameWrite(unsigned int requestId, unsigned int bytesWritten) {
    Record({Kind::kWrite, requestId, {bytesWritten, 0, 0, 0}, nullptr, nullptr, nullptr});
}

void DevGame::Record(const Answer& answer) {
    answers.push_back(answer);
}

Bytes Pattern(std::size_t size, unsigned int seed) {
    Bytes bytes(size);
    unsigned int state = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = static_cast<unsigned char>(state >> 16);
    }
    return bytes;
}

Name AsName(const char* text) {
    Name name;
    for (; *text != 0; ++text) {
        name.push_back(static_cast<unsigned char>(*text));
    }
    return name;
}

Name Terminated(const Name& name) {
    Name terminated = name;
    terminated.push_back(0);
    return terminated;
}

std::string StorageDirectory() {
    const char* directory = std::getenv("VYKARIS_DEVSERVICE_DIR");
    EXPECT_NE(directory, nullptr) << "VYKARIS_DEVSERVICE_DIR is not set for this test";
    return directory != nullptr ? directory : "";
}

std::string SavegamePath(unsigned int productId, unsigned int savegameId) {
    return (std::filesystem::path(StorageDirectory()) / std::to_string(productId) /
            (std::to_string(savegameId) + ".vsg"))
        .string();
}

void WriteRawFile(const std::string& directory, const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(directory);
    std::ofstream file(std::filesystem::path(directory) / name, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file.good()) << "cannot write " << name << " in " << directory;
}

}  // namespace qz::devservice::test
