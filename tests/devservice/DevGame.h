#pragma once

#include <veltoclient/VeltoClient.h>

#include <string>
#include <vector>

namespace qz::devservice::test {

using Bytes = std::vector<unsigned char>;
using Name = std::vector<unsigned short>;

enum class Kind { kLogin, kServer, kReader, kWriter, kList, kRemove, kTraffic, kRead, kWrite };

/// One answer as the game saw it.
struct Answer {
    Kind kind;
    unsigned int requestId;
    unsigned int values[4];
    veltoclient::SavegameReader* reader;
    veltoclient::SavegameWriter* writer;
    veltoclient::SavegameInfo* savegames;
};

/// One savegame of a list answer, read through its SavegameInfo.
struct Listed {
    unsigned int productId;
    unsigned int savegameId;
    unsigned int size;
    Name name;
};

/// A game on the development service: one client, listening for every kind of answer and
/// recording them in order. The helpers make one request, pump Update until its answer came
/// and hand it back; a missing answer fails the test.
class DevGame : public veltoclient::IGetLoginDetailsListener,
                public veltoclient::IGetVeltoServerListener,
                public veltoclient::IGetSavegameReaderListener,
                public veltoclient::IGetSavegameWriterListener,
                public veltoclient::IGetSavegameListListener,
                public veltoclient::IRemoveSavegameListener,
                public veltoclient::IGetNetworkTrafficListener,
                public veltoclient::ISavegameReadListener,
                public veltoclient::ISavegameWriteListener {
public:
    veltoclient::VeltoClient client;
    std::vector<Answer> answers;

    /// Pumps Update until the answer to `requestId` arrived (at most `updates` calls).
    Answer Await(unsigned int requestId, unsigned int updates = 64);
    /// Whether the answer to `requestId` arrives within `updates` Update calls; for answers
    /// that may be lost.
    bool Arrives(unsigned int requestId, unsigned int updates);

    Answer OpenWriter(unsigned int productId, unsigned int savegameId, bool overwrite);
    Answer OpenReader(unsigned int productId, unsigned int savegameId);
    unsigned int Remove(unsigned int productId, unsigned int savegameId);
    std::vector<Listed> List(unsigned int productId);
    /// Bytes written, as the write answer says.
    unsigned int Write(veltoclient::SavegameWriter* writer, const void* data, unsigned int size);
    /// Bytes read into `buffer`, as the read answer says.
    unsigned int Read(veltoclient::SavegameReader* reader, unsigned int offset, void* buffer,
                      unsigned int size);

    /// Writes `data` as a complete version in chunks of `chunk` bytes and commits it, named
    /// `name` unless that is empty; false when any step was refused.
    bool Save(unsigned int productId, unsigned int savegameId, const Bytes& data,
              const Name& name = {}, unsigned int chunk = 65536);
    /// The committed contents, read whole; false when there is no such savegame.
    bool Load(unsigned int productId, unsigned int savegameId, Bytes& data);

    void OnGetLoginDetails(unsigned int requestId, unsigned int a, unsigned int b,
                           unsigned int c) override;
    void OnGetVeltoServer(unsigned int requestId, unsigned int a) override;
    void OnGetSavegameReader(unsigned int requestId, unsigned int a,
                             veltoclient::SavegameReader* reader) override;
    void OnGetSavegameWriter(unsigned int requestId, unsigned int a,
                             veltoclient::SavegameWriter* writer) override;
    void OnGetSavegameList(unsigned int requestId, veltoclient::SavegameInfo* savegames,
                           unsigned int count) override;
    void OnRemoveSavegame(unsigned int requestId, unsigned int a) override;
    void OnGetNetworkTraffic(unsigned int requestId, unsigned int a, unsigned int b, unsigned int c,
                             unsigned int d) override;
    void OnSavegameRead(unsigned int requestId, unsigned int bytesRead) override;
    void OnSavegameWrite(unsigned int requestId, unsigned int bytesWritten) override;

private:
    void Record(const Answer& answer);
};

/// `size` bytes of a pattern that differs for every `seed` and every offset.
Bytes Pattern(std::size_t size, unsigned int seed);

/// A name from ASCII text, without a terminator.
Name AsName(const char* text);

/// The name followed by a 0 unit, as SetName takes it.
Name Terminated(const Name& name);

/// The storage directory of this test process (VYKARIS_DEVSERVICE_DIR); fails the test when
/// it is not set.
std::string StorageDirectory();

/// The path of a savegame file in the layout of the service's README.
std::string SavegamePath(unsigned int productId, unsigned int savegameId);

/// Writes a file byte for byte, creating its directory.
void WriteRawFile(const std::string& directory, const std::string& name, const Bytes& bytes);

}  // namespace qz::devservice::test
