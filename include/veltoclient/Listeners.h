#pragma once

namespace qz::veltoclient {

class SavegameInfo;
class SavegameReader;
class SavegameWriter;

// Interfaces the game implements to receive answers. Each answer calls the callback once, from
// inside VeltoClient::Update (or whichever call the service library chooses), on the thread
// that made that call. The game owns its listener objects; a listener must stay alive until
// its request has been answered or its client destroyed. The library never deletes one.
//
// The callback is the first virtual operation, the one the library (or, for reads and writes,
// the service library) calls; the virtual destructor after it lets a game delete its
// listeners through these interfaces.

/// Answer to VeltoClient::GetLoginDetails.
class IGetLoginDetailsListener {
public:
    virtual void OnGetLoginDetails(unsigned int requestId, unsigned int, unsigned int,
                                   unsigned int) = 0;
    virtual ~IGetLoginDetailsListener() = default;
};

/// Answer to VeltoClient::GetVeltoServer.
class IGetVeltoServerListener {
public:
    virtual void OnGetVeltoServer(unsigned int requestId, unsigned int) = 0;
    virtual ~IGetVeltoServerListener() = default;
};

/// Answer to VeltoClient::GetSavegameReader. `reader` is never null and belongs to the game.
class IGetSavegameReaderListener {
public:
    virtual void OnGetSavegameReader(unsigned int requestId, unsigned int,
                                     SavegameReader* reader) = 0;
    virtual ~IGetSavegameReaderListener() = default;
};

/// Answer to VeltoClient::GetSavegameWriter. `writer` is never null and belongs to the game.
class IGetSavegameWriterListener {
public:
    virtual void OnGetSavegameWriter(unsigned int requestId, unsigned int,
                                     SavegameWriter* writer) = 0;
    virtual ~IGetSavegameWriterListener() = default;
};

/// Answer to VeltoClient::GetSavegameList: `count` descriptions in one array that belongs to
/// the game. `savegames` is never null, also when `count` is 0.
class IGetSavegameListListener {
public:
    virtual void OnGetSavegameList(unsigned int requestId, SavegameInfo* savegames,
                                   unsigned int count) = 0;
    virtual ~IGetSavegameListListener() = default;
};

/// Answer to VeltoClient::RemoveSavegame.
class IRemoveSavegameListener {
public:
    virtual void OnRemoveSavegame(unsigned int requestId, unsigned int) = 0;
    virtual ~IRemoveSavegameListener() = default;
};

/// Answer to VeltoClient::GetNetworkTraffic.
class IGetNetworkTrafficListener {
public:
    virtual void OnGetNetworkTraffic(unsigned int requestId, unsigned int, unsigned int,
                                     unsigned int, unsigned int) = 0;
    virtual ~IGetNetworkTrafficListener() = default;
};

/// Answer to SavegameReader::Read, called by the service library directly.
class ISavegameReadListener {
public:
    virtual void OnSavegameRead(unsigned int requestId, unsigned int bytesRead) = 0;
    virtual ~ISavegameReadListener() = default;
};

/// Answer to SavegameWriter::Write, called by the service library directly.
class ISavegameWriteListener {
public:
    virtual void OnSavegameWrite(unsigned int requestId, unsigned int bytesWritten) = 0;
    virtual ~ISavegameWriteListener() = default;
};

}  // namespace qz::veltoclient
