#pragma once

#include "veltoclient/Export.h"

namespace qz::veltoclient {

class VeltoClient;
class ISavegameReadListener;

/// An open savegame for reading, delivered by the savegame-reader answer.
class VELTOCLIENT_API SavegameReader {
public:
    SavegameReader(const SavegameReader&) = delete;
    SavegameReader& operator=(const SavegameReader&) = delete;

    /// Asks the service library to read into `buffer`, which must stay valid until `listener`
    /// is answered. The values pass through unchanged.
    void Read(unsigned int requestId, ISavegameReadListener* listener, unsigned int offset,
              void* buffer, unsigned int size);
    /// Closes the savegame in the service library; the object itself stays as it is.
    void Close();

private:
    friend class VeltoClient;
    struct Pimpl;

    SavegameReader();
    ~SavegameReader();

    Pimpl* pimpl;
};

}  // namespace qz::veltoclient
