#pragma once

#include "veltoclient/Export.h"

namespace qz::veltoclient {

class VeltoClient;
class ISavegameReadListener;

/// An open savegame for reading, delivered by the savegame-reader answer. The game never
/// creates or deletes one (see IGetSavegameReaderListener).
///
/// Threads: a reader has no lock of its own and speaks to the service library for the client
/// whose answer delivered it: use it as that client may be used (see VeltoClient), never at
/// the same time as that client on another thread.
class VELTOCLIENT_API SavegameReader {
public:
    SavegameReader(const SavegameReader&) = delete;
    SavegameReader& operator=(const SavegameReader&) = delete;

    /// Asks the service library to copy up to `size` bytes from `offset` into `buffer`, which
    /// must stay valid, with room for `size` bytes, until `listener` is answered. The service
    /// library calls `listener` directly; it must outlive that answer. Does nothing when there
    /// is no reader to ask. `listener` must not be null; a null one, like a null `buffer`, is
    /// passed on as it is, and the service library decides (the development service ignores a
    /// read without a listener and answers 0 bytes for a null buffer).
    void Read(unsigned int requestId, ISavegameReadListener* listener, unsigned int offset,
              void* buffer, unsigned int size);
    /// Closes the savegame in the service library; the object itself stays, and a second
    /// Close is passed on too (the service library ignores it).
    void Close();

private:
    friend class VeltoClient;
    struct Pimpl;

    SavegameReader();
    ~SavegameReader();

    Pimpl* pimpl;
};

}  // namespace qz::veltoclient
