#include "RequestNode.h"

#include "RequestPool.h"
#include "SavegameHandles.h"

namespace qz::veltoclient_c {

void* RequestNode::Finish() {
    void* const answerContext = context;
    pool->Give(this);
    return answerContext;
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

void RequestNode::OnGetSavegameReader(unsigned int requestId, unsigned int result,
                                      veltoclient::SavegameReader* reader) {
    const veltoclient_savegame_reader_callback answer = callback.savegameReader;
    veltoclient_reader* const handle = preparedReader;
    preparedReader = nullptr;
    handle->reader = reader;
    answer(Finish(), requestId, result, handle);
}

void RequestNode::OnGetSavegameWriter(unsigned int requestId, unsigned int result,
                                      veltoclient::SavegameWriter* writer) {
    const veltoclient_savegame_writer_callback answer = callback.savegameWriter;
    veltoclient_writer* const handle = preparedWriter;
    preparedWriter = nullptr;
    handle->writer = writer;
    answer(Finish(), requestId, result, handle);
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
