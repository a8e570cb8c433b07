#include "TransferNode.h"

#include <new>

namespace qz::veltoclient_c {

TransferNode::TransferNode(ClientLiveness* owner, void* context) : owner(owner), context(context) {
    owner->Hold();
}

TransferNode::~TransferNode() {
    owner->Release();
}

TransferNode* TransferNode::ForRead(ClientLiveness* owner,
                                    veltoclient_savegame_read_callback callback,
                                    void* context) noexcept {
    TransferNode* const node = new (std::nothrow) TransferNode(owner, context);
    if (node != nullptr) {
        node->callback.read = callback;
    }
    return node;
}

TransferNode* TransferNode::ForWrite(ClientLiveness* owner,
                                     veltoclient_savegame_write_callback callback,
                                     void* context) noexcept {
    TransferNode* const node = new (std::nothrow) TransferNode(owner, context);
    if (node != nullptr) {
        node->callback.write = callback;
    }
    return node;
}

bool TransferNode::Finish(void*& answerContext) {
    const bool alive = owner->alive;
    answerContext = context;
    delete this;
    return alive;
}

void TransferNode::OnSavegameRead(unsigned int requestId, unsigned int bytesRead) {
    const veltoclient_savegame_read_callback answer = callback.read;
    void* answerContext;
    if (Finish(answerContext)) {
        answer(answerContext, requestId, bytesRead);
    }
}

void TransferNode::OnSavegameWrite(unsigned int requestId, unsigned int bytesWritten) {
    const veltoclient_savegame_write_callback answer = callback.write;
    void* answerContext;
    if (Finish(answerContext)) {
        answer(answerContext, requestId, bytesWritten);
    }
}

}  // namespace qz::veltoclient_c
