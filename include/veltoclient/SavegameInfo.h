#pragma once

#include "veltoclient/Export.h"

namespace qz::veltoclient {

class VeltoClient;

/// The description of one savegame, delivered in arrays by the savegame-list answer. The game
/// never creates one; each method asks the service library about the record it stands for.
class VELTOCLIENT_API SavegameInfo {
public:
    SavegameInfo(const SavegameInfo&) = delete;
    SavegameInfo& operator=(const SavegameInfo&) = delete;

    /// The savegame's name, owned by the service library; null when there is none to ask.
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
