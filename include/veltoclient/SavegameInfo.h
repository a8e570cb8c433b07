#pragma once

#include "veltoclient/Export.h"

namespace qz::veltoclient {

class VeltoClient;

/// The description of one savegame, delivered in arrays by the savegame-list answer. The game
/// never creates or deletes one (see IGetSavegameListListener); each method asks the service
/// library about the record it stands for, so its answers are the service library's.
///
/// Threads: a description has no lock of its own and asks the service library for the client
/// whose answer delivered it: use it as that client may be used (see VeltoClient), never at
/// the same time as that client on another thread.
class VELTOCLIENT_API SavegameInfo {
public:
    SavegameInfo(const SavegameInfo&) = delete;
    SavegameInfo& operator=(const SavegameInfo&) = delete;

    /// The savegame's name as 0-terminated UTF-16, or null when there is none to ask. The text
    /// is owned by the service library and stays valid as long as it says (the development
    /// service: until the process ends); the game must not free or change it.
    const unsigned short* GetName();
    /// 0xFFFFFFFF when there is none to ask.
    unsigned int GetProductId();
    /// 0xFFFFFFFF when there is none to ask.
    unsigned int GetSavegameId();
    /// 0 when there is none to ask.
    unsigned int GetSize();

private:
    friend class VeltoClient;
    struct Pimpl;

    SavegameInfo();
    ~SavegameInfo();

    Pimpl* pimpl;
};

}  // namespace qz::veltoclient
