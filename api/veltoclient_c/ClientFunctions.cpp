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

// Hands a taken node, carrying the callback and context, to the C++ client with its `Operation`.
// Nothing touches the client afterwards: the answer may come from inside the call and destroy
// the client.
template <auto Operation, auto Field, typename Callback, typename... Arguments>
int32_t HandOver(veltoclient_client* client, RequestNode* node, uint32_t requestId,
                 Callback callback, void* context, Arguments... arguments) noexcept {
    node->callback.*Field = callback;
    node->context = context;
    // A throw here is std::bad_alloc from the C++ client's request table or from wrapping an
    // answer given inside the call: the answer is lost, and the node comes back with the
    // client's pool.
    return Guarded(int32_t{0}, [&] {
        (client->client.*Operation)(requestId, node, arguments...);
        return int32_t{1};
    });
}

template <auto Operation, auto Field, typename Callback, typename... Arguments>
int32_t SendRequestAfterGrowing(veltoclient_client* client, uint32_t requestId, Callback callback,
                                void* context, Arguments... arguments) noexcept;

// Makes one request of a kind whose answer needs nothing prepared. The common case (a free
// node) is kept short; the rest is a tail call away, with the arguments where they are.
template <auto Operation, auto Field, typename Callback, typename... Arguments>
int32_t SendRequest(veltoclient_client* client, uint32_t requestId, Callback callback,
                    void* context, Arguments... arguments) noexcept {
    if (client == nullptr || callback == nullptr) {
        return 0;
    }
    RequestNode* const node = client->pool.Take();
    if (node == nullptr) {
        return SendRequestAfterGrowing<Operation, Field>(client, requestId, callback, context,
                                                         arguments...);
    }
    return HandOver<Operation, Field>(client, node, requestId, callback, context, arguments...);
}

// SendRequest without a free node. An inert client never grows its pool, so its requests all
// come here and are dropped, as the C++ client drops them, without taking a node that no
// answer would return.
template <auto Operation, auto Field, typename Callback, typename... Arguments>
[[gnu::noinline]] int32_t SendRequestAfterGrowing(veltoclient_client* client, uint32_t requestId,
                                                  Callback callback, void* context,
                                                  Arguments... arguments) noexcept {
    if (client->inert) {
        return 1;
    }
    if (!client->pool.Grow()) {
        return 0;
    }
    return SendRequest<Operation, Field>(client, requestId, callback, context, arguments...);
}

// The reader and writer requests: the handle their answer fills is made with the request, so
// that delivering the answer allocates nothing.
template <typename Handle, auto Operation, auto Field, auto Prepared, typename Callback,
          typename... Arguments>
int32_t SendHandleRequest(veltoclient_client* client, uint32_t requestId, Callback callback,
                          void* context, Arguments... arguments) noexcept {
    if (client == nullptr || callback == nullptr) {
        return 0;
    }
    if (client->inert) {
        return 1;
    }
    Handle* const handle = new (std::nothrow) Handle;
    if (handle == nullptr) {
        return 0;
    }
    handle->owner = client->liveness;
    client->liveness->Hold();
    RequestNode* node = client->pool.Take();
    if (node == nullptr && client->pool.Grow()) {
        node = client->pool.Take();
    }
    if (node == nullptr) {
        Handle::Discard(handle);
        return 0;
    }
    node->*Prepared = handle;
    return HandOver<Operation, Field>(client, node, requestId, callback, context, arguments...);
}

}  // namespace

extern "C" {

uint32_t VELTOCLIENT_C_CALL veltoclient_c_version(void) {
    return VELTOCLIENT_C_VERSION;
}

veltoclient_client* VELTOCLIENT_C_CALL veltoclient_create(void) {
    ClientLiveness* const liveness = new (std::nothrow) ClientLiveness;
    if (liveness == nullptr) {
        return nullptr;
    }
    veltoclient_client* const client =
        Guarded(static_cast<veltoclient_client*>(nullptr), [] { return new veltoclient_client; });
    if (client == nullptr) {
        delete liveness;
        return nullptr;
    }
    client->liveness = liveness;
    client->inert = client->client.GetInstallationErrorNum() != 0;
    return client;
}

void VELTOCLIENT_C_CALL veltoclient_destroy(veltoclient_client* client) {
    if (client == nullptr) {
        return;
    }
    ClientLiveness* const liveness = client->liveness;
    liveness->alive = false;
    delete client;
    liveness->Release();
}

uint32_t VELTOCLIENT_C_CALL veltoclient_get_installation_error_num(veltoclient_client* client) {
    return client != nullptr ? client->client.GetInstallationErrorNum() : 0xFFFFFFFFu;
}

const uint16_t* VELTOCLIENT_C_CALL
veltoclient_get_installation_error_string(veltoclient_client* client, const char* locale) {
    if (client == nullptr) {
        return nullptr;
    }
    return Guarded(static_cast<const uint16_t*>(nullptr), [&] {
        return static_cast<const uint16_t*>(client->client.GetInstallationErrorString(locale));
    });
}

void VELTOCLIENT_C_CALL veltoclient_update(veltoclient_client* client) {
    if (client != nullptr) {
        // Answers allocate their savegame objects: out of memory, the answer is lost.
        Guarded([&] { client->client.Update(); });
    }
}

uint32_t VELTOCLIENT_C_CALL veltoclient_get_request_unique_id(veltoclient_client* client) {
    return client != nullptr ? client->client.GetRequestUniqueId() : 0xFFFFFFFFu;
}

int32_t VELTOCLIENT_C_CALL veltoclient_start_launcher(veltoclient_client* client, uint32_t value1,
                                                      uint32_t value2, const char* text1,
                                                      const char* text2) {
    return client != nullptr && client->client.StartLauncher(value1, value2, text1, text2) ? 1 : 0;
}

const uint16_t* VELTOCLIENT_C_CALL veltoclient_get_loc_text(veltoclient_client* client,
                                                            const uint16_t* text,
                                                            const char* locale) {
    return client != nullptr ? client->client.GetLocText(text, locale) : nullptr;
}

int32_t VELTOCLIENT_C_CALL
veltoclient_get_login_details(veltoclient_client* client, uint32_t request_id,
                              veltoclient_login_details_callback callback, void* context) {
    return SendRequest<&VeltoClient::GetLoginDetails, &RequestNode::Callback::loginDetails>(
        client, request_id, callback, context);
}

int32_t VELTOCLIENT_C_CALL veltoclient_get_velto_server(veltoclient_client* client,
                                                        uint32_t request_id,
                                                        veltoclient_velto_server_callback callback,
                                                        void* context, uint32_t value1,
                                                        uint32_t value2) {
    return SendRequest<&VeltoClient::GetVeltoServer, &RequestNode::Callback::veltoServer>(
        client, request_id, callback, context, value1, value2);
}

int32_t VELTOCLIENT_C_CALL veltoclient_get_savegame_reader(
    veltoclient_client* client, uint32_t request_id, veltoclient_savegame_reader_callback callback,
    void* context, uint32_t product_id, uint32_t savegame_id) {
    return SendHandleRequest<veltoclient_reader, &VeltoClient::GetSavegameReader,
                             &RequestNode::Callback::savegameReader, &RequestNode::preparedReader>(
        client, request_id, callback, context, product_id, savegame_id);
}

int32_t VELTOCLIENT_C_CALL veltoclient_get_savegame_writer(
    veltoclient_client* client, uint32_t request_id, veltoclient_savegame_writer_callback callback,
    void* context, uint32_t product_id, uint32_t savegame_id, int32_t overwrite) {
    return SendHandleRequest<veltoclient_writer, &VeltoClient::GetSavegameWriter,
                             &RequestNode::Callback::savegameWriter, &RequestNode::preparedWriter>(
        client, request_id, callback, context, product_id, savegame_id, overwrite != 0);
}

int32_t VELTOCLIENT_C_CALL veltoclient_get_savegame_list(
    veltoclient_client* client, uint32_t request_id, veltoclient_savegame_list_callback callback,
    void* context, uint32_t product_id) {
    return SendRequest<&VeltoClient::GetSavegameList, &RequestNode::Callback::savegameList>(
        client, request_id, callback, context, product_id);
}

int32_t VELTOCLIENT_C_CALL veltoclient_remove_savegame(
    veltoclient_client* client, uint32_t request_id, veltoclient_remove_savegame_callback callback,
    void* context, uint32_t product_id, uint32_t savegame_id) {
    return SendRequest<&VeltoClient::RemoveSavegame, &RequestNode::Callback::removeSavegame>(
        client, request_id, callback, context, product_id, savegame_id);
}

int32_t VELTOCLIENT_C_CALL
veltoclient_get_network_traffic(veltoclient_client* client, uint32_t request_id,
                                veltoclient_network_traffic_callback callback, void* context) {
    return SendRequest<&VeltoClient::GetNetworkTraffic, &RequestNode::Callback::networkTraffic>(
        client, request_id, callback, context);
}

}  // extern "C"
