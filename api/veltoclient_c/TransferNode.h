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
    /// Null when memory runs out.
    static TransferNode* ForRead(ClientLiveness* owner, veltoclient_savegame_read_callback callback,
                                 void* context) noexcept;
    static TransferNode* ForWrite(ClientLiveness* owner,
                                  veltoclient_savegame_write_callback callback,
                                  void* context) noexcept;

    void OnSavegameRead(unsigned int requestId, unsigned int bytesRead) override;
    void OnSavegameWrite(unsigned int requestId, unsigned int bytesWritten) override;

private:
    explicit TransferNode(ClientLiveness* owner, void* context);
    ~TransferNode() override;

    /// Frees the node; true when the client lives and the callback is to run.
    bool Finish(void*& answerContext);

    union {
        veltoclient_savegame_read_callback read;
        veltoclient_savegame_write_callback write;
    } callback{};
    ClientLiveness* owner;
    void* context;
};

}  // namespace qz::veltoclient_c
