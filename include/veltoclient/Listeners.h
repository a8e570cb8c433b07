#pragma once

namespace qz::veltoclient {

class SavegameInfo;
class SavegameReader;
class SavegameWriter;

// Interfaces the game implements to receive answers.
//
// When: each answer calls its callback at most once per request, from inside a call that the
// service library chooses (normally VeltoClient::Update), on the thread that made that call.
// The library has no thread of its own and never calls the game on its own.
//
// Rules: a listener passed to a request is never null (see VeltoClient's requests), and its
// callback must not let an exception escape. The callback runs inside the service library,
// which is reached through plain C functions that an exception must not cross (it may be built
// by another compiler), and which would be left in the middle of its work. A callback may make
// new requests (with its own request id too), call VeltoClient::Update and destroy its client.
//
// Lifetime: the game owns its listener objects, and the library never deletes one. A listener
// must outlive every request it was passed to until that request is answered or its client
// destroyed; a SavegameReader::Read or SavegameWriter::Write listener until its answer arrives
// (the service library calls it directly, and the client's destruction does not cancel it).
//
// Values: the unsigned values of an answer are the service library's, passed through
// unchanged. Where the development service fills them, its meaning is given.
//
// Layout: the callback is the first virtual operation, the one that the library (or, for
// reads and writes, the service library) calls; the virtual destructor after it lets a game
// delete its listeners through these interfaces.

/// Answer to VeltoClient::GetLoginDetails. The development service answers 0, the account id
/// 1 and 0.
class IGetLoginDetailsListener {
public:
    virtual void OnGetLoginDetails(unsigned int requestId, unsigned int value1, unsigned int value2,
                                   unsigned int value3) = 0;
    virtual ~IGetLoginDetailsListener() = default;
};

/// Answer to VeltoClient::GetVeltoServer.
class IGetVeltoServerListener {
public:
    virtual void OnGetVeltoServer(unsigned int requestId, unsigned int value) = 0;
    virtual ~IGetVeltoServerListener() = default;
};

/// Answer to VeltoClient::GetSavegameReader. `result` is the service library's (0 = done for
/// the development service). `reader` is never null, also when the service library gave no
/// reader (its operations then do nothing). It is allocated by the library for this answer
/// and is never freed: the game cannot delete it (its destructor is private), and it stays
/// valid until the process ends. Call Close on it when done.
class IGetSavegameReaderListener {
public:
    virtual void OnGetSavegameReader(unsigned int requestId, unsigned int result,
                                     SavegameReader* reader) = 0;
    virtual ~IGetSavegameReaderListener() = default;
};

/// Answer to VeltoClient::GetSavegameWriter. `result` is the service library's (0 = done for
/// the development service). `writer` is never null, also when the service library gave no
/// writer (its operations then do nothing). It is allocated by the library for this answer
/// and is never freed: the game cannot delete it (its destructor is private), and it stays
/// valid until the process ends. Call Close on it when done.
class IGetSavegameWriterListener {
public:
    virtual void OnGetSavegameWriter(unsigned int requestId, unsigned int result,
                                     SavegameWriter* writer) = 0;
    virtual ~IGetSavegameWriterListener() = default;
};

/// Answer to VeltoClient::GetSavegameList: `count` descriptions in one array. `savegames` is
/// never null, also when `count` is 0. The array is allocated by the library for this answer
/// and is never freed: the game cannot delete it or its elements (their destructor is
/// private), and the objects stay valid until the process ends; what they describe is the
/// service library's and stays valid as long as it says.
class IGetSavegameListListener {
public:
    virtual void OnGetSavegameList(unsigned int requestId, SavegameInfo* savegames,
                                   unsigned int count) = 0;
    virtual ~IGetSavegameListListener() = default;
};

/// Answer to VeltoClient::RemoveSavegame. `result` is the service library's (0 = done).
class IRemoveSavegameListener {
public:
    virtual void OnRemoveSavegame(unsigned int requestId, unsigned int result) = 0;
    virtual ~IRemoveSavegameListener() = default;
};

/// Answer to VeltoClient::GetNetworkTraffic. The development service counts, since the
/// session began and modulo 2^32: savegame bytes read, savegame bytes written, requests made
/// and answers delivered.
class IGetNetworkTrafficListener {
public:
    virtual void OnGetNetworkTraffic(unsigned int requestId, unsigned int bytesRead,
                                     unsigned int bytesWritten, unsigned int requests,
                                     unsigned int answers) = 0;
    virtual ~IGetNetworkTrafficListener() = default;
};

/// Answer to SavegameReader::Read, called by the service library directly: how many bytes it
/// copied into the game's buffer.
class ISavegameReadListener {
public:
    virtual void OnSavegameRead(unsigned int requestId, unsigned int bytesRead) = 0;
    virtual ~ISavegameReadListener() = default;
};

/// Answer to SavegameWriter::Write, called by the service library directly: how many bytes it
/// took from the game's buffer.
class ISavegameWriteListener {
public:
    virtual void OnSavegameWrite(unsigned int requestId, unsigned int bytesWritten) = 0;
    virtual ~ISavegameWriteListener() = default;
};

}  // namespace qz::veltoclient
