#include "TransferNode.h"

#include <new>

namespace qz::veltoclient_c {

TransferNode::TransferNode(ClientLiveness* owner, Callback callback, void* context)
    : owner(owner), callback(callback), context(context) {
    owner->Hold();
}

TransferNode::~TransferNode() {
    owner->Release();
}

TransferNode* TransferNode::Create(ClientLiveness* owner, Callback callback,
                                   void* context) noexcept {
    return new (std::nothrow) TransferNode(owner, callback, context);
}

void TransferNode::Answer(unsigned int requestId, unsigned int bytes) {
    const bool alive = owner->alive;
    const Callback answer = callback;
    void* const answerContext = context;
    delete this;
    if (alive) {
        answer(answerContext, requestId, bytes);
    }
}

void TransferNode::OnSavegameRead(unsigned int requestId, unsigned int bytesRead) {
    Answer(requestId, bytesRead);
}

void TransferNode::OnSavegameWrite(unsigned int requestId, unsigned int bytesWritten) {
    Answer(requestId, bytesWritten);
}

}  // namespace qz::veltoclient_c
