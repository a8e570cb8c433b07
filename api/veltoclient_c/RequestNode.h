#pragma once

#include <veltoclient/VeltoClient.h>
#include <veltoclient/veltoclient_c.h>

namespace qz::veltoclient_c {

class RequestNode;
class RequestPool;

/// What every answer reads from its node: the game's callback and context and the pool the
/// node goes back to. See RequestNode for why it is a base.
struct RequestNodeAnswer {
    union Callback {
        veltoclient_login_details_callback loginDetails;
        veltoclient_velto_server_callback veltoServer;
        veltoclient_savegame_reader_callback savegameReader;
        veltoclient_savegame_writer_callback savegameWriter;
        veltoclient_savegame_list_callback savegameList;
        veltoclient_remove_savegame_callback removeSavegame;
        veltoclient_network_traffic_callback networkTraffic;
    };

    Callback callback{};
    void* context = nullptr;
    RequestPool* pool = nullptr;
    RequestNode* nextFree = nullptr;
};

/// The C++ listener that stands for one C request: the game's callback and context, handed
/// to the C++ client in place of a listener object. One node serves any of the seven kinds, so
/// that a client keeps one pool of them (RequestPool) and a request costs no allocation.
///
/// An answer gives the node back to its pool before the game's callback runs, so the callback
/// may make new requests or destroy the client: nothing touches the node afterwards.
///
/// A request and its answer touch one cache line of the node: nodes are aligned to one, and
/// the fields an answer reads (a base, laid out right after the first listener's vtable
/// pointer) come before the vtable pointers of the rarer kinds.
class alignas(64) RequestNode final : public veltoclient::IGetLoginDetailsListener,
                                      public RequestNodeAnswer,
                                      public veltoclient::IGetVeltoServerListener,
                                      public veltoclient::IGetSavegameReaderListener,
                                      public veltoclient::IGetSavegameWriterListener,
                                      public veltoclient::IGetSavegameListListener,
                                      public veltoclient::IRemoveSavegameListener,
                                      public veltoclient::IGetNetworkTrafficListener {
public:
    void OnGetLoginDetails(unsigned int requestId, unsigned int value1, unsigned int value2,
                           unsigned int value3) override;
    void OnGetVeltoServer(unsigned int requestId, unsigned int value) override;
    void OnGetSavegameReader(unsigned int requestId, unsigned int result,
                             veltoclient::SavegameReader* reader) override;
    void OnGetSavegameWriter(unsigned int requestId, unsigned int result,
                             veltoclient::SavegameWriter* writer) override;
    void OnGetSavegameList(unsigned int requestId, veltoclient::SavegameInfo* savegames,
                           unsigned int count) override;
    void OnRemoveSavegame(unsigned int requestId, unsigned int result) override;
    void OnGetNetworkTraffic(unsigned int requestId, unsigned int bytesRead,
                             unsigned int bytesWritten, unsigned int requests,
                             unsigned int answers) override;

    /// The handle a reader or writer answer fills, made with the request so that delivering
    /// the answer allocates nothing; the pool frees one whose answer never came.
    veltoclient_reader* preparedReader = nullptr;
    veltoclient_writer* preparedWriter = nullptr;

private:
    /// Gives the node back to its pool and returns the context the callback is to get.
    void* Finish();
    template <typename Handle, typename AnswerCallback, typename Object>
    void DeliverHandle(Handle*& prepared, AnswerCallback answer, unsigned int requestId,
                       unsigned int result, Object* object);
};

}  // namespace qz::veltoclient_c
