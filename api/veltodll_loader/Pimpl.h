#pragma once

#include <veltodll/VeltodllListeners.h>
#include "Forwarding.h"
#include "common/HashTable.h"
#include "veltoclient/VeltoClient.h"

// VeltoClient is exported, and on ELF a nested class takes the visibility of the class around
// it; the private part stays inside the library.
#if defined(__GNUC__) && !defined(_WIN32)
#define QZ_LOADER_HIDDEN __attribute__((visibility("hidden")))
#else
#define QZ_LOADER_HIDDEN
#endif

namespace qz::veltoclient {

/// A client's private part and the listener object the service library calls back. It keeps
/// the game's listener of every pending request in the table of its kind, keyed by request id.
///
/// An answer takes the listener out of its table before the game is called, so the game may
/// issue new requests (with the same id too) from inside its callback, and may even destroy
/// the client there: nothing touches the Pimpl after the game's callback returns.
class QZ_LOADER_HIDDEN VeltoClient::Pimpl final : public veltodll::IGetLoginDetailsListener,
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

    /// Makes one request: when the session and `entry` are there, stores the game's listener
    /// under `requestId` in `table`, then calls `entry` with the session, the id, this object as
    /// the service-side listener and `arguments`. The entry is stored first, so that an answer
    /// from inside the call is routed like any other.
    template <typename ServiceListener, typename GameListener, typename Entry,
              typename... Arguments>
    void SendRequest(EntryField<Entry> entry, RequestTable<GameListener>& table,
                     unsigned int requestId, GameListener* listener, Arguments... arguments) {
        if (!CanForward(session, entry)) {
            return;
        }
        table.Set(requestId, listener);
        (DllLoader::GetInstance()->*entry)(session, requestId, static_cast<ServiceListener*>(this),
                                           arguments...);
    }

    /// Called by the client's destructor instead of delete. With nothing pending the Pimpl is
    /// freed. With requests pending the service library still holds it as their listener, so
    /// it is kept, detached: its tables are emptied and later answers find nothing.
    static void Release(Pimpl* pimpl);

    void* session = nullptr;
    RequestTable<veltoclient::IGetLoginDetailsListener> loginDetailsRequests;
    RequestTable<veltoclient::IGetVeltoServerListener> veltoServerRequests;
    RequestTable<veltoclient::IGetSavegameReaderListener> savegameReaderRequests;
    RequestTable<veltoclient::IGetSavegameWriterListener> savegameWriterRequests;
    RequestTable<veltoclient::IGetSavegameListListener> savegameListRequests;
    RequestTable<veltoclient::IRemoveSavegameListener> removeSavegameRequests;
    RequestTable<veltoclient::IGetNetworkTrafficListener> networkTrafficRequests;

    /// Next Pimpl kept after its client was destroyed; they stay reachable until the process
    /// ends.
    Pimpl* nextDetached = nullptr;

private:
    template <typename Listener>
    static bool TakeListener(RequestTable<Listener>& table, unsigned int requestId,
                             Listener*& listener);
    template <typename Listener>
    static void RemoveAll(RequestTable<Listener>& table);

    bool HasPendingRequests() const;
    void DropPendingRequests();

    /// Head of the Pimpls kept after their clients were destroyed with requests pending.
    static Pimpl* detachedPimpls;
};

}  // namespace qz::veltoclient
