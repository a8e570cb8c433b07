#include "RequestNode.h"

#include "RequestPool.h"
#include "SavegameHandles.h"

namespace qz::veltoclient_c {

void* RequestNode::Finish() {
    // Read after the node is given back (nothing runs in between, and Give writes only the
    // link): loaded straight into the callback's first argument, with no register kept for it.
    pool->Give(this);
    return context;
}

void RequestNode::OnGetLoginDetails(unsigned int requestId, unsigned int value1,
                                    unsigned int value2, unsigned int value3) {
    const veltoclient_login_details_callback answer = callback.loginDetails;
    answer(Finish(), requestId, value1, value2, value3);
}

void RequestNode::OnGetVeltoServer(unsigned int requestId, unsigned int value) {
    const veltoclient_velto_server_callback answer = callback.veltoServer;
    answer(Finish(), requestId, value);
}

// Fills the handle made with the request, which now belongs to the game.
template <typename Handle, typename AnswerCallback, typename Object>
void RequestNode::DeliverHandle(Handle*& prepared, AnswerCallback answer, unsigned int requestId,
                                unsigned int result, Object* object) {
    Handle* const handle = prepared;
    prepared = nullptr;
    handle->object = object;
    answer(Finish(), requestId, result, handle);
}

void RequestNode::OnGetSavegameReader(unsigned int requestId, unsigned int result,
                                      veltoclient::SavegameReader* reader) {
    DeliverHandle(preparedReader, callback.savegameReader, requestId, result, reader);
}

void RequestNode::OnGetSavegameWriter(unsigned int requestId, unsigned int result,
                                      veltoclient::SavegameWriter* writer) {
    DeliverHandle(preparedWriter, callback.savegameWriter, requestId, result, writer);
}

void RequestNode::OnGetSavegameList(unsigned int requestId, veltoclient::SavegameInfo* savegames,
                                    unsigned int count) {
    const veltoclient_savegame_list_callback answer = callback.savegameList;
    // The C handle of a description is the C++ object itself; veltoclient_savegame_info_at
    // steps through the C++ array.
    answer(Finish(), requestId, reinterpret_cast<veltoclient_savegame_info*>(savegames), count);
}

void RequestNode::OnRemoveSavegame(unsigned int requestId, unsigned int result) {
    const veltoclient_remove_savegame_callback answer = callback.removeSavegame;
    answer(Finish(), requestId, result);
}

void RequestNode::OnGetNetworkTraffic(unsigned int requestId, unsigned int bytesRead,
                                      unsigned int bytesWritten, unsigned int requests,
                                      unsigned int answers) {
    const veltoclient_network_traffic_callback answer = callback.networkTraffic;
    answer(Finish(), requestId, bytesRead, bytesWritten, requests, answers);
}

}  // namespace qz::veltoclient_c
