#pragma once

#include "veltoclient/Export.h"

namespace qz::veltoclient {

class VeltoClient;
class ISavegameWriteListener;

/// An open savegame for writing, delivered by the savegame-writer answer. The game never
/// creates or deletes one (see IGetSavegameWriterListener).
///
/// Threads: a writer has no lock of its own and speaks to the service library for the client
/// whose answer delivered it: use it as that client may be used (see VeltoClient), never at
/// the same time as that client on another thread.
class VELTOCLIENT_API SavegameWriter {
public:
    SavegameWriter(const SavegameWriter&) = delete;
    SavegameWriter& operator=(const SavegameWriter&) = delete;

    /// Names the savegame: `name` is 0-terminated UTF-16, read during the call and not kept.
    /// False when the service library refuses (the development service takes 1 to 255 units of
    /// well-formed UTF-16) or cannot be asked. A null `name` is passed on as it is (the
    /// development service refuses it).
    bool SetName(unsigned short* name);
    /// Asks the service library to append `size` bytes from `buffer`, which must stay valid
    /// until `listener` is answered. The service library calls `listener` directly; it must
    /// outlive that answer. Does nothing when there is no writer to ask. `listener` must not be
    /// null; a null one, like a null `buffer`, is passed on as it is, and the service library
    /// decides (the development service ignores a write without a listener and answers 0 bytes
    /// for a null buffer).
    void Write(unsigned int requestId, ISavegameWriteListener* listener, void* buffer,
               unsigned int size);
    /// Closes the savegame: with `commit` the bytes written and the name become the savegame
    /// (for the development service durably, when Close returns); without, they are discarded.
    /// A second Close is passed on too (the service library ignores it).
    void Close(bool commit);

private:
    friend class VeltoClient;
    struct Pimpl;

    SavegameWriter();
    ~SavegameWriter();

    Pimpl* pimpl;
};

}  // namespace qz::veltoclient
