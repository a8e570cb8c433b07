#pragma once

#include "VeltodllListeners.h"
#include "common/HashTable.h"
#include "veltoclient/VeltoClient.h"

namespace qz::veltoclient {

/// A client's private part and the listener object the service library calls back. It keeps
/// the game's listener of every pending request in the table of its kind, keyed by request id.
class VeltoClient::Pimpl final : public veltodll::IGetLoginDetailsListener,
                                 public veltodll::IGetVeltoServerListener,
                                 public veltodll::IGetSavegameReaderListener,
                                 public veltodll::IGetSavegameWriterListener,
                                 public veltodll::IGetSavegameListListener,
                                 public veltodll::IRemoveSavegameListener,
                                 public veltodll::IGetNetworkTrafficListener {
public:
    template <typename Listener>
    using RequestTable =
        common::HashTable<unsigned int, Listener*, common::StandardHashHelper<unsigned int>>;

    Pimpl() = default;
    Pimpl(const Pimpl&) = delete;
    Pimpl& operator=(const Pimpl&) = delete;

    void OnGetLoginDetails(unsigned int requestId, unsigned int, unsigned int,
                           unsigned int) override;
    void OnGetVeltoServer(unsigned int requestId, unsigned int) override;
    void OnGetSavegameReader(unsigned int requestId, unsigned int, void* reader) override;
    void OnGetSavegameWriter(unsigned int requestId, unsigned int, void* writer) override;
    void OnGetSavegameList(unsigned int requestId, void* records, unsigned int count) override;
    void OnRemoveSavegame(unsigned int requestId, unsigned int) override;
    void OnGetNetworkTraffic(unsigned int requestId, unsigned int, unsigned int, unsigned int,
                             unsigned int) override;

    /// Called by the client's destructor instead of delete.
    static void Release(Pimpl* pimpl);

    void* session = nullptr;
    RequestTable<veltoclient::IGetLoginDetailsListener> loginDetailsRequests;
    RequestTable<veltoclient::IGetVeltoServerListener> veltoServerRequests;
    RequestTable<veltoclient::IGetSavegameReaderListener> savegameReaderRequests;
    RequestTable<veltoclient::IGetSavegameWriterListener> savegameWriterRequests;
    RequestTable<veltoclient::IGetSavegameListListener> savegameListRequests;
    RequestTable<veltoclient::IRemoveSavegameListener> removeSavegameRequests;
    RequestTable<veltoclient::IGetNetworkTrafficListener> networkTrafficRequests;
};

}  // namespace qz::veltoclient
