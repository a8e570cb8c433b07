#pragma once

#include "veltoclient/Export.h"

namespace qz::veltoclient {

class VeltoClient;
class ISavegameWriteListener;

/// An open savegame for writing, delivered by the savegame-writer answer.
class VELTOCLIENT_API SavegameWriter {
public:
    SavegameWriter(const SavegameWriter&) = delete;
    SavegameWriter& operator=(const SavegameWriter&) = delete;

    /// Names the savegame; false when the service library refuses or cannot be asked.
    bool SetName(unsigned short* name);
    /// Asks the service library to write from `buffer`, which must stay valid until `listener`
    /// is answered.
    void Write(unsigned int requestId, ISavegameWriteListener* listener, void* buffer,
               unsigned int size);
    /// Closes the savegame; the flag passes through unchanged (the service library's commit).
    void Close(bool);

private:
    friend class VeltoClient;
    struct Pimpl;

    SavegameWriter();
    ~SavegameWriter();

    Pimpl* pimpl;
};

}  // namespace qz::veltoclient
