#pragma once

#include <veltoclient/VeltoClient.h>
#include <veltoclient/veltoclient_c.h>

#include "ClientLiveness.h"

namespace qz::veltoclient_c {

/// The C++ listener of one savegame read or write. The service library calls it directly, and
/// may do so after the client was destroyed, so it is allocated for its transfer, holds the
/// client's liveness, and frees itself when answered: the game's callback runs only while the
/// client lives.
class TransferNode final : public veltoclient::ISavegameReadListener,
                           public veltoclient::ISavegameWriteListener {
public:
    // Reads and writes answer through callbacks of one type.
    using Callback = veltoclient_savegame_read_callback;

    /// Null when memory runs out.
    static TransferNode* Create(ClientLiveness* owner, Callback callback, void* context) noexcept;

    void OnSavegameRead(unsigned int requestId, unsigned int bytesRead) override;
    void OnSavegameWrite(unsigned int requestId, unsigned int bytesWritten) override;

private:
    TransferNode(ClientLiveness* owner, Callback callback, void* context);
    ~TransferNode() override;

    /// Frees the node, then calls the game's callback if its client lives.
    void Answer(unsigned int requestId, unsigned int bytes);

    ClientLiveness* owner;
    Callback callback;
    void* context;
};

}  // namespace qz::veltoclient_c
