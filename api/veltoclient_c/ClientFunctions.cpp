// The client's C functions: creation and destruction, the plain forwards and the seven
// requests, each over the C++ client.

#include <new>

#include "ClientHandle.h"
#include "Guarded.h"
#include "SavegameHandles.h"

using qz::veltoclient::VeltoClient;
using qz::veltoclient_c::ClientLiveness;
using qz::veltoclient_c::Guarded;
using qz::veltoclient_c::RequestNode;

namespace {

// Makes one request: takes a node for the callback and context (and the handle its answer
// fills, for readers and writers), lets `send` hand it to the C++ client. Nothing touches the
// client after `send`, whose answer may come from inside the call and destroy the client.
template <typename Callback, typename Send>
int32_t SendRequest(veltoclient_client* client, Callback callback, void* context,
                    Callback RequestNode::Callback::*field, Send send) noexcept {
    if (client == nullptr || callback == nullptr) {
        return 0;
    }
    if (client->inert) {
        return 1;
    }
    RequestNode* const node = client->pool.Take();
    if (node == nullptr) {
        return 0;
    }
    node->callback.*field = callback;
    node->context = context;
    // A throw here is std::bad_alloc from wrapping an answer given inside the call: the answer
    // is lost, and the node comes back with the client's pool.
    return Guarded(int32_t{0}, [&] {
        send(*client->client, node);
        return int32_t{1};
    });
}

// SendRequest for the reader and writer requests, whose handle is made before the request so
// that delivering the answer allocates nothing.
template <typename Handle, typename Callback, typename Send>
int32_t SendHandleRequest(veltoclient_client* client, Callback callback, void* context,
                          Callback RequestNode::Callback::*field, Handle* RequestNode::*prepared,
                          Send send) noexcept {
    if (client == nullptr || callback == nullptr || client->inert) {
        return SendRequest(client, callback, context, field, send);
    }
    Handle* const handle = new (std::nothrow) Handle;
    if (handle == nullptr) {
        return 0;
    }
    handle->owner = client->liveness;
    client->liveness->Hold();
    Handle* unused = handle;
    const int32_t sent =
        SendRequest(client, callback, context, field, [&](VeltoClient& cpp, RequestNode* node) {
            node->*prepared = handle;
            unused = nullptr;
            send(cpp, node);
        });
    Handle::Discard(unused);
    return sent;
}

}  // namespace

extern "C" {

uint32_t VELTOCLIENT_C_CALL veltoclient_c_version(void) {
    return VELTOCLIENT_C_VERSION;
}

veltoclient_client* VELTOCLIENT_C_CALL veltoclient_create(void) {
    veltoclient_client* const client = new (std::nothrow) veltoclient_client;
    if (client == nullptr) {
        return nullptr;
    }
    client->liveness = new (std::nothrow) ClientLiveness;
    client->client = Guarded(static_cast<VeltoClient*>(nullptr), [] { return new VeltoClient; });
    if (client->liveness == nullptr || client->client == nullptr) {
        delete client->client;
        delete client->liveness;
        delete client;
        return nullptr;
    }
    client->inert = client->client->GetInstallationErrorNum() != 0;
    return client;
}

void VELTOCLIENT_C_CALL veltoclient_destroy(veltoclient_client* client) {
    if (client == nullptr) {
        return;
    }
    client->liveness->alive = false;
    // The C++ client first: after its destruction no answer reaches the request nodes, which
    // the pool then frees.
    delete client->client;
    client->liveness->Release();
    delete client;
}

uint32_t VELTOCLIENT_C_CALL veltoclient_get_installation_error_num(veltoclient_client* client) {
    return client != nullptr ? client->client->GetInstallationErrorNum() : 0xFFFFFFFFu;
}

const uint16_t* VELTOCLIENT_C_CALL
veltoclient_get_installation_error_string(veltoclient_client* client, const char* locale) {
    if (client == nullptr) {
        return nullptr;
    }
    return Guarded(static_cast<const uint16_t*>(nullptr), [&] {
        return static_cast<const uint16_t*>(client->client->GetInstallationErrorString(locale));
    });
}

void VELTOCLIENT_C_CALL veltoclient_update(veltoclient_client* client) {
    if (client != nullptr) {
        // Answers allocate their savegame objects: out of memory, the answer is lost.
        Guarded([&] { client->client->Update(); });
    }
}

uint32_t VELTOCLIENT_C_CALL veltoclient_get_request_unique_id(veltoclient_client* client) {
    return client != nullptr ? client->client->GetRequestUniqueId() : 0xFFFFFFFFu;
}

int32_t VELTOCLIENT_C_CALL veltoclient_start_launcher(veltoclient_client* client, uint32_t value1,
                                                      uint32_t value2, const char* text1,
                                                      const char* text2) {
    return client != nullptr && client->client->StartLauncher(value1, value2, text1, text2) ? 1 : 0;
}

const uint16_t* VELTOCLIENT_C_CALL veltoclient_get_loc_text(veltoclient_client* client,
                                                            const uint16_t* text,
                                                            const char* locale) {
    return client != nullptr ? client->client->GetLocText(text, locale) : nullptr;
}

int32_t VELTOCLIENT_C_CALL
veltoclient_get_login_details(veltoclient_client* client, uint32_t request_id,
                              veltoclient_login_details_callback callback, void* context) {
    return SendRequest(
        client, callback, context, &RequestNode::Callback::loginDetails,
        [&](VeltoClient& cpp, RequestNode* node) { cpp.GetLoginDetails(request_id, node); });
}

int32_t VELTOCLIENT_C_CALL veltoclient_get_velto_server(veltoclient_client* client,
                                                        uint32_t request_id,
                                                        veltoclient_velto_server_callback callback,
                                                        void* context, uint32_t value1,
                                                        uint32_t value2) {
    return SendRequest(client, callback, context, &RequestNode::Callback::veltoServer,
                       [&](VeltoClient& cpp, RequestNode* node) {
                           cpp.GetVeltoServer(request_id, node, value1, value2);
                       });
}

int32_t VELTOCLIENT_C_CALL veltoclient_get_savegame_reader(
    veltoclient_client* client, uint32_t request_id, veltoclient_savegame_reader_callback callback,
    void* context, uint32_t product_id, uint32_t savegame_id) {
    return SendHandleRequest(client, callback, context, &RequestNode::Callback::savegameReader,
                             &RequestNode::preparedReader,
                             [&](VeltoClient& cpp, RequestNode* node) {
                                 cpp.GetSavegameReader(request_id, node, product_id, savegame_id);
                             });
}

int32_t VELTOCLIENT_C_CALL veltoclient_get_savegame_writer(
    veltoclient_client* client, uint32_t request_id, veltoclient_savegame_writer_callback callback,
    void* context, uint32_t product_id, uint32_t savegame_id, int32_t overwrite) {
    return SendHandleRequest(
        client, callback, context, &RequestNode::Callback::savegameWriter,
        &RequestNode::preparedWriter, [&](VeltoClient& cpp, RequestNode* node) {
            cpp.GetSavegameWriter(request_id, node, product_id, savegame_id, overwrite != 0);
        });
}

int32_t VELTOCLIENT_C_CALL veltoclient_get_savegame_list(
    veltoclient_client* client, uint32_t request_id, veltoclient_savegame_list_callback callback,
    void* context, uint32_t product_id) {
    return SendRequest(client, callback, context, &RequestNode::Callback::savegameList,
                       [&](VeltoClient& cpp, RequestNode* node) {
                           cpp.GetSavegameList(request_id, node, product_id);
                       });
}

int32_t VELTOCLIENT_C_CALL veltoclient_remove_savegame(
    veltoclient_client* client, uint32_t request_id, veltoclient_remove_savegame_callback callback,
    void* context, uint32_t product_id, uint32_t savegame_id) {
    return SendRequest(client, callback, context, &RequestNode::Callback::removeSavegame,
                       [&](VeltoClient& cpp, RequestNode* node) {
                           cpp.RemoveSavegame(request_id, node, product_id, savegame_id);
                       });
}

int32_t VELTOCLIENT_C_CALL
veltoclient_get_network_traffic(veltoclient_client* client, uint32_t request_id,
                                veltoclient_network_traffic_callback callback, void* context) {
    return SendRequest(
        client, callback, context, &RequestNode::Callback::networkTraffic,
        [&](VeltoClient& cpp, RequestNode* node) { cpp.GetNetworkTraffic(request_id, node); });
}

}  // extern "C"
